#pragma once

// Key characters from the keyboard layout of the calling thread.
#include "config/key_tables.h"

namespace q350 {

class WinKeyLayout final : public KeyLayout {
public:
    unsigned character(int virtualKey) const override;
};

}  // namespace q350
