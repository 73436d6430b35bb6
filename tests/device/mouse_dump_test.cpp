#include "device/mouse_dump.h"

#include <gtest/gtest.h>

namespace q350 {
namespace {

VirtualMouseState WithMacroAndButton() {
    VirtualMouseState s;
    s.mode = 1;
    s.firmware = 3;
    const std::uint8_t program[] = {0x0A, 0x00, 0x01, 0x00, 0x0B, 0x00, 0x04, 0x00, 0x00, 0x04};
    std::copy(std::begin(program), std::end(program), s.memory.begin() + MacroSlotAddress(1));
    s.memory[ButtonWordAddress(2, 4)] = 0x05;
    s.memory[ButtonWordAddress(2, 4) + 2] = 0x01;
    s.params[kParamLiftOff] = {5, 6, 7, 0};
    s.memory[MacroSlotAddress(2)] = 5;  // an impossible length
    return s;
}

TEST(MouseDump, TextShowsButtonsParametersAndDecodedMacros) {
    const std::string text = DumpMouseText(WithMacroAndButton());
    EXPECT_NE(text.find("mode: 1 (MOBA)"), std::string::npos);
    EXPECT_NE(text.find("button  4 @0x0838: 0x00010005"), std::string::npos);
    EXPECT_NE(text.find("lift-off value             5   6   7"), std::string::npos) << text;
    EXPECT_NE(text.find("slot  0 @0x01000: empty"), std::string::npos);
    EXPECT_NE(text.find("slot  1 @0x02000: length 10, repeat 1, 2 key events"), std::string::npos);
    EXPECT_NE(text.find("0a 00 01 00 0b 00 04 00 00 04"), std::string::npos);
    EXPECT_NE(text.find("down A, wait 50 ms\n      up A\n"), std::string::npos);
    EXPECT_NE(text.find("slot  2 @0x03000: unreadable"), std::string::npos);
}

}  // namespace
}  // namespace q350
