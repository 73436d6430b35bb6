#include "device/linux/hidraw_transport.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "base/utf.h"
#include "device/hid_descriptor.h"

namespace q350 {

bool HidrawTransport::isMouse(int fd) const {
    hidraw_devinfo info{};
    if (ioctl(fd, HIDIOCGRAWINFO, &info) < 0) {
        return false;
    }
    if (static_cast<std::uint16_t>(info.vendor) != kMouseVendorId ||
        static_cast<std::uint16_t>(info.product) != kMouseProductId) {
        return false;
    }
    int size = 0;
    if (ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0) {
        return false;
    }
    hidraw_report_descriptor desc{};
    desc.size = static_cast<std::uint32_t>(std::min(size, HID_MAX_DESCRIPTOR_SIZE));
    if (ioctl(fd, HIDIOCGRDESC, &desc) < 0) {
        return false;
    }
    return DescriptorHasUsage(std::span<const std::uint8_t>(desc.value, desc.size), kMouseUsagePage,
                              kMouseUsage);
}

bool HidrawTransport::open() {
    close();
    lastError_.clear();
    if (!devicePath_.empty()) {
        fd_ = ::open(devicePath_.c_str(), O_RDWR | O_CLOEXEC);
        if (fd_ < 0) {
            lastError_ = devicePath_ + ": " + std::strerror(errno);
            return false;
        }
        openedPath_ = devicePath_;
        return true;
    }
    std::vector<std::string> nodes;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/dev", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("hidraw", 0) == 0) {
            nodes.push_back(entry.path().string());
        }
    }
    std::sort(nodes.begin(), nodes.end());
    bool denied = false;
    for (const std::string& node : nodes) {
        const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            denied = denied || errno == EACCES;
            continue;
        }
        if (isMouse(fd)) {
            fd_ = fd;
            openedPath_ = node;
            return true;
        }
        ::close(fd);
    }
    lastError_ = denied ? "no Q350 mouse found (some /dev/hidraw nodes could not be opened: "
                          "permission denied)"
                        : "no Q350 mouse found";
    return false;
}

void HidrawTransport::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    openedPath_.clear();
}

bool HidrawTransport::writeReport(std::span<const std::uint8_t, kReportSize> frame) {
    return fd_ >= 0 && ::write(fd_, frame.data(), frame.size()) >= 0;
}

bool HidrawTransport::getInputReport(std::span<std::uint8_t, kReportSize> frame) {
    if (fd_ < 0) {
        return false;
    }
    // The mouse answers with an input report; some firmware serves the same bytes as a feature
    // report. The request bytes stay in the buffer for either.
    std::uint8_t buffer[kReportSize];
    std::memcpy(buffer, frame.data(), sizeof buffer);
    if (ioctl(fd_, HIDIOCGINPUT(kReportSize), buffer) >= 0) {
        std::memcpy(frame.data(), buffer, sizeof buffer);
        return true;
    }
    std::memcpy(buffer, frame.data(), sizeof buffer);
    if (ioctl(fd_, HIDIOCGFEATURE(kReportSize), buffer) >= 0) {
        std::memcpy(frame.data(), buffer, sizeof buffer);
        return true;
    }
    return false;
}

void HidrawTransport::traceLine(std::u16string_view line) {
    std::fprintf(stderr, "%s\n", Utf16ToUtf8(line).c_str());
}

}  // namespace q350
