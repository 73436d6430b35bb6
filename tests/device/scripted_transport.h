#pragma once

// A transport that records every frame and answers input reports from a script.
#include <deque>
#include <vector>

#include "device/hid_transport.h"

namespace q350::test {

struct ScriptedTransport final : HidTransport {
    bool open() override { return openResult; }
    void close() override { ++closes; }
    bool writeReport(std::span<const std::uint8_t, kReportSize> frame) override {
        if (!writeResult) {
            return false;
        }
        written.emplace_back();
        std::copy(frame.begin(), frame.end(), written.back().begin());
        return true;
    }
    bool getInputReport(std::span<std::uint8_t, kReportSize> frame) override {
        requests.emplace_back();
        std::copy(frame.begin(), frame.end(), requests.back().begin());
        if (!readResult) {
            return false;
        }
        Report reply{};
        if (!replies.empty()) {
            reply = replies.front();
            replies.pop_front();
        } else {
            reply[0] = defaultStatus;
        }
        std::copy(reply.begin(), reply.end(), frame.begin());
        return true;
    }
    void traceLine(std::u16string_view line) override { trace.emplace_back(line); }

    void reply(std::uint8_t status, std::uint8_t value = 0) {
        Report r{};
        r[0] = status;
        r[1] = value;
        replies.push_back(r);
    }

    bool openResult = true;
    bool writeResult = true;
    bool readResult = true;
    std::uint8_t defaultStatus = 1;
    int closes = 0;
    std::deque<Report> replies;
    std::vector<Report> written;
    std::vector<Report> requests;
    std::vector<std::u16string> trace;
};

}  // namespace q350::test
