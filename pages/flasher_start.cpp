#include "pages/flasher_start.h"

namespace q350::pages {

FlasherStart FlasherOnce::start(const std::function<bool()>& launch) {
    if (tried_) {
        return FlasherStart::AlreadyStarted;
    }
    // Tried once is enough: a flasher that failed now fails the same way again, and a mouse
    // handed over again and again would never be usable in between.
    tried_ = true;
    return launch() ? FlasherStart::Started : FlasherStart::Failed;
}

FlasherOnce& ProcessFlasher() {
    static FlasherOnce flasher;
    return flasher;
}

std::u16string_view FlasherFailedText(bool chinese) {
    return chinese ? u"无法更新固件；鼠标处于升级模式。请拔下鼠标后重新插入，或重新安装本程序。"
                   : u"The firmware could not be updated; the mouse is in its update mode. Unplug "
                     u"it and plug it in again, or reinstall the program.";
}

}  // namespace q350::pages
