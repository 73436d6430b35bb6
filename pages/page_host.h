#pragma once

// What a page of the main window may use of the window's state: the profile record it edits, the
// current mode, the active profile slot with the pending macro ids, the macro library and the
// Chinese flag. The main window provides it; pages never reach into the window itself.
#include <cstdint>

#include "config/macro_library.h"  // first: it reads the device headers
#include "config/profile_data.h"

namespace q350::pages {

class PageHost {
public:
    virtual ~PageHost() = default;

    virtual ProfileData& profile() = 0;
    // The slot table and the active slot's index (0..4).
    virtual ConfigInfo& configInfo() = 0;
    virtual int activeSlot() const = 0;
    // The mode every page shows and edits (0 office, 1 MOBA, 2 FPS).
    virtual int currentMode() const = 0;
    // Changes the mode; the host brings the other pages that show it up to date.
    virtual void setCurrentMode(int mode) = 0;
    // The macro id a button got on the mouse page, copied into the slot by the next download.
    virtual std::int32_t& pendingMacroId(int mode, int button) = 0;
    virtual MacroLibrary& macros() = 0;
    // Whether built-in texts are Chinese.
    virtual bool chinese() const = 0;
};

}  // namespace q350::pages
