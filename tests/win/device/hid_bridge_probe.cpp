// hidbridge_probe info | write: talks to the mouse through HidBridge.dll beside it.
//   info   prints "mode=M firmware=F resolution=R"
//   write  writes button 4 of mode 1, the lift-off values 7 8 9 and a macro program into slot 0
// Exit status 0 on success, 1 when the mouse is missing or does not answer.
#include <cstdio>
#include <cstring>

#include "base/clock.h"
#include "device/device_commands.h"
#include "device/win/hid_bridge_transport.h"

int main(int argc, char** argv) {
    using namespace q350;
    if (argc != 2 || (std::strcmp(argv[1], "info") != 0 && std::strcmp(argv[1], "write") != 0)) {
        std::fprintf(stderr, "usage: hidbridge_probe info|write\n");
        return 2;
    }
    HidBridgeTransport transport;
    HidChannel channel(transport);
    if (!channel.open()) {
        std::fprintf(stderr, "no mouse\n");
        return 1;
    }
    SystemClock clock;
    DeviceCommands commands(channel, clock, [] { return 1; });
    if (std::strcmp(argv[1], "info") == 0) {
        std::uint32_t mode = 0, firmware = 0, resolution = 0;
        if (!commands.query(kOpQueryMode, mode) || !commands.query(kOpQueryFirmware, firmware) ||
            !commands.query(kOpQueryResolution, resolution)) {
            std::fprintf(stderr, "no answer\n");
            return 1;
        }
        std::printf("mode=%u firmware=%u resolution=%u\n", static_cast<unsigned>(mode),
                    static_cast<unsigned>(firmware), static_cast<unsigned>(resolution));
        return 0;
    }
    const std::uint8_t program[] = {0x0A, 0x00, 0x01, 0x00, 0x0B, 0x00, 0x04, 0x00, 0x00, 0x04};
    const bool ok = commands.writeButtonWord(4, 0x00010005) &&
                    commands.setParameter(kParamLiftOff, {7, 8, 9}) &&
                    commands.writeBlock(MacroSlotAddress(0), program, sizeof program);
    if (!ok) {
        std::fprintf(stderr, "write failed\n");
        return 1;
    }
    std::printf("written\n");
    return 0;
}
