#include "app/win/main_pages.h"

#include "app/win/key_capture_library.h"
#include "lang/language_table.h"
#include "pages/win/color_set_dlg.h"
#include "pages/win/dlg_main_set.h"
#include "pages/win/dlg_support.h"
#include "pages/win/empty_page.h"
#include "pages/win/macro_dlg.h"
#include "pages/win/sts_dlg.h"

namespace q350::app {

namespace {
// Titles of the pages that show no controls yet, by page index.
constexpr lang::StringId kPageTitles[kPageCount] = {
    lang::StringId::str_main, lang::StringId::str_led_title, lang::StringId::str_sts,
    lang::StringId::str_macro_manager, lang::StringId::str_about};
}  // namespace

MainPages::MainPages(ProfileFiles& files, MacroLibrary& macros, std::wstring programFolder)
    : files_(files), macros_(macros), folder_(std::move(programFolder)) {}

MainPages::~MainPages() { DestroyAll(); }

void MainPages::Create(HWND mainWindow, HBITMAP mainSheet, const RECT& area) {
    main_ = mainWindow;
    // Creation order: mouse settings, lighting, macros, support, statistics.
    constexpr Page kOrder[kPageCount] = {Page::MouseSettings, Page::Lighting, Page::Macros,
                                         Page::Support, Page::Statistics};
    for (Page p : kOrder) {
        const int index = static_cast<int>(p);
        std::unique_ptr<pages::CPageBase> made;
        if (p == Page::MouseSettings) {
            made = std::make_unique<pages::CDlgMainSet>(*this, chinese());
        } else if (p == Page::Lighting) {
            made = std::make_unique<pages::CColorSetDlg>(*this, chinese());
        } else if (p == Page::Macros) {
            made = std::make_unique<pages::CMacroDlg>(*this, chinese());
        } else if (p == Page::Support) {
            made = std::make_unique<pages::CDlgSupport>(*this, files_, chinese());
        } else if (p == Page::Statistics) {
            made = std::make_unique<pages::CStsDlg>(*this, chinese());
        } else {
            made = std::make_unique<pages::CEmptyPage>(*this, kPageTitles[index], mainSheet,
                                                       POINT{area.left, area.top});
        }
        made->Create(mainWindow, area);
        pages_[index] = std::move(made);
    }
}

void MainPages::Show(int index) {
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
