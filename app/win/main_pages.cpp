#include "app/win/main_pages.h"

#include "app/win/key_capture_library.h"
#include "app/win/main_window_messages.h"
#include "lang/language_table.h"
#include "pages/win/color_set_dlg.h"
#include "pages/win/dlg_main_set.h"
#include "pages/win/dlg_support.h"
#include "pages/win/macro_dlg.h"
#include "pages/win/sts_dlg.h"

namespace q350::app {

namespace {
// Mouse events kept for a statistics page not made yet: far more than the half second before it
// is made can bring.
constexpr std::size_t kMaxHeldEvents = 4096;
}  // namespace

MainPages::MainPages(ProfileFiles& files, MacroLibrary& macros, std::wstring programFolder)
    : files_(files), macros_(macros), folder_(std::move(programFolder)) {}

MainPages::~MainPages() { DestroyAll(); }

void MainPages::Create(HWND mainWindow, const RECT& area) {
    main_ = mainWindow;
    area_ = area;
    layoutChinese_ = chinese();
}

void MainPages::CreateBackgroundPages() {
    if (Make(Page::Statistics) == nullptr) {
        return;
    }
    const HWND statistics = window(Page::Statistics);
    for (const std::uint32_t word : heldEvents_) {
        PostMessageW(statistics, kMsgStatisticsEvent, word, 0);
    }
    heldEvents_.clear();
}

void MainPages::countEvent(std::uint32_t eventWord) {
    if (const HWND statistics = window(Page::Statistics)) {
        PostMessageW(statistics, kMsgStatisticsEvent, eventWord, 0);
    } else if (main_ != nullptr && heldEvents_.size() < kMaxHeldEvents) {
        heldEvents_.push_back(eventWord);
    }
}

pages::CPageBase* MainPages::Make(Page p) {
    const int index = static_cast<int>(p);
    if (pages_[index]) {
        return pages_[index].get();
    }
    if (main_ == nullptr) {
        return nullptr;
    }
    const bool zh = layoutChinese_;
    std::unique_ptr<pages::CPageBase> made;
    if (p == Page::MouseSettings) {
        made = std::make_unique<pages::CDlgMainSet>(*this, zh);
    } else if (p == Page::Lighting) {
        made = std::make_unique<pages::CColorSetDlg>(*this, zh);
    } else if (p == Page::Macros) {
        made = std::make_unique<pages::CMacroDlg>(*this, zh);
    } else if (p == Page::Support) {
        made = std::make_unique<pages::CDlgSupport>(*this, files_, zh);
    } else {
        made = std::make_unique<pages::CStsDlg>(*this, zh);
    }
    made->Create(main_, area_);
    pages_[index] = std::move(made);
    if (p == Page::Support) {
        static_cast<pages::CDlgSupport*>(pages_[index].get())->SetFirmwareText(firmwareText_);
    }
    return pages_[index].get();
}

void MainPages::Show(int index) {
    if (index >= 0 && index < kPageCount) {
        Make(static_cast<Page>(index));
    }
    for (int i = 0; i < kPageCount; ++i) {
        if (pages_[i]) {
            pages_[i]->Show(i == index);
        }
    }
}

void MainPages::ShowRecord() {
    for (Page p : {Page::MouseSettings, Page::Lighting}) {
        if (auto* page = pages_[static_cast<int>(p)].get()) {
            page->ShowRecord();
        }
    }
}

void MainPages::LanguageChanged() {
    for (auto& page : pages_) {
        if (page) {
            page->LanguageChanged();
        }
    }
    ShowRecord();
}

void MainPages::SessionEnding() {
    for (auto& page : pages_) {
        if (page) {
            page->SessionEnding();
        }
    }
}

void MainPages::setFirmwareText(const std::wstring& text) {
    firmwareText_ = text;
    if (auto* support = dynamic_cast<pages::CDlgSupport*>(page(Page::Support))) {
        support->SetFirmwareText(text);
    }
}

HWND MainPages::window(Page p) const {
    const auto& page = pages_[static_cast<int>(p)];
    return page ? page->hwnd() : nullptr;
}

void MainPages::DestroyAll() {
    for (Page p :
         {Page::MouseSettings, Page::Lighting, Page::Macros, Page::Support, Page::Statistics}) {
        auto& page = pages_[static_cast<int>(p)];
        if (page) {
            page->Destroy();
            page.reset();
        }
    }
}

void MainPages::setCurrentMode(int mode) {
    if (mode < 0 || mode >= kModeCount) {
        return;
    }
    files_.currentMode = mode;
    ShowRecord();
}

bool MainPages::chinese() const { return lang::ChineseTexts(); }

void MainPages::setKeyReceiver(HWND window) {
    if (KeyCapture().SetReciveWindow) {
        KeyCapture().SetReciveWindow(window);
    }
}

void MainPages::setKeyDelivery(bool on) {
    if (KeyCapture().SetHookStatus) {
        KeyCapture().SetHookStatus(on ? 1 : 0, 0);
    }
}

}  // namespace q350::app
