#include "app/main_window_model.h"

namespace q350::app {

MainWindowModel::MainWindowModel(ProfileFiles& files) : files_(files) {}

void MainWindowModel::selectPage(int index) {
    if (index >= 0 && index < kPageCount) {
        page_ = index;
    }
}

bool MainWindowModel::clickPageTab(int tab) {
    const int index = PageIndexOfTab(tab);
    if (index < 0) {
        return false;
    }
    selectPage(index);
    return TabRefreshesPages(tab);
}

bool MainWindowModel::clickProfileTab(int tab) {
    if (tab < 0 || tab >= kProfileTabCount) {
        return false;
    }
    profileTab_ = tab;
    const bool loaded = files_.select(tab, windowHidden);
    markActiveProfileTab();
    return loaded;
}

void MainWindowModel::markActiveProfileTab() {
    const ConfigInfo& table = files_.configInfo();
    profileTab_ = -1;
    for (int slot = 0; slot < kProfileTabCount; ++slot) {
        if (table.slots[slot].active != 0) {
            profileTab_ = slot;
            break;
        }
    }
}

bool MainWindowModel::setHint(int hint, bool chinese) {
    std::u16string text =
        HintText(hint, &files_.profile(), files_.currentMode, chinese);
    if (text == status_) {
        return false;
    }
    status_ = std::move(text);
    return true;
}

bool MainWindowModel::setStatus(std::u16string text) {
    if (text == status_) {
        return false;
    }
    status_ = std::move(text);
    return true;
}

bool MainWindowModel::clearStatusOnMove() {
    if (status_.empty()) {
        return false;
    }
    status_.clear();
    return true;
}

}  // namespace q350::app
