#include "device/driver_channel.h"

#include <cstring>

namespace q350 {

namespace {

DriverCommandBlock Block(std::uint32_t command) {
    DriverCommandBlock block;
    std::memset(&block, 0, sizeof(block));
    block.command = command;
    block.tag = kDriverTag;
    return block;
}

}  // namespace

DriverCommandBlock MakeRegisterBlock(std::uint32_t semaphoreHandle) {
    DriverCommandBlock block = Block(kDriverRegister);
    block.semaphore = semaphoreHandle;
    return block;
}

DriverCommandBlock MakeUnregisterBlock() {
    return Block(kDriverUnregister);
}

DriverCommandBlock MakeSetting4Block() {
    DriverCommandBlock block = Block(kDriverSetting4);
    block.param1 = kSetting4First;
    block.param2 = kSetting4Second;
    return block;
}

DriverCommandBlock MakeSetting32Block() {
    DriverCommandBlock block = Block(kDriverSetting32);
    block.param3 = kSetting32Third;
    return block;
}

DriverEventBuffer MakeEventReadBuffer() {
    DriverEventBuffer buffer;
    std::memset(&buffer, 0, sizeof(buffer));
    buffer.tag = kDriverTag;
    return buffer;
}

ReceivedCommand ReadCommandBlock(const void* bytes, std::size_t size) {
    ReceivedCommand received;
    if (bytes == nullptr || size != sizeof(DriverCommandBlock)) {
        return received;
    }
    DriverCommandBlock block;
    std::memcpy(&block, bytes, sizeof(block));
    if (block.tag != kDriverTag) {
        return received;
    }
    received.valid = true;
    received.command = block.command;
    received.semaphore = block.semaphore;
    return received;
}

}  // namespace q350
