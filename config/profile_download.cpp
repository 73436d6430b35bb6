#include "config/profile_download.h"

#include <set>

#include "base/utf.h"

namespace q350 {

namespace {

// What became of one command: whether it counts as done for the download (parameters count once
// sent) and whether the mouse confirmed it (only that goes into the record of what it holds).
struct Outcome {
    bool done = false;
    bool confirmed = false;
};

Outcome Execute(DeviceCommands& device, const PlanCommand& c) {
    Outcome out;
    switch (c.op) {
        case PlanOp::ButtonWord:
            out.done = out.confirmed = device.writeButtonWord(c.mode, c.button, c.word);
            break;
        case PlanOp::MacroChunk:
            out.done = out.confirmed = device.writeChunk(c.address, c.bytes.data(), c.bytes.size());
            break;
        case PlanOp::Parameter:
            out.done = device.setParameter(c.id, {c.values[0], c.values[1], c.values[2]},
                                           &out.confirmed);
            break;
        case PlanOp::DpiLevels:
            out.done = device.setDpiLevels(c.id, c.values[0], c.values[1], c.values[2],
                                           c.values[3], &out.confirmed);
            break;
        case PlanOp::Colour:
            out.done = out.confirmed =
                device.setColourComponent(c.id, {c.values[0], c.values[1], c.values[2]});
            break;
        case PlanOp::NoSlot:
            break;
    }
    return out;
}

}  // namespace

bool DownloadProfile(const DownloadJob& job, DownloadReport* reportOut) {
    DownloadReport local;
    DownloadReport& report = reportOut ? *reportOut : local;
    report = DownloadReport{};
    if (!job.profile || !job.slot || !job.device || !job.deviceMutex || !job.clock) {
        report.failures.push_back("download started without a profile, device or lock");
        return false;
    }
    PlanInput input;
    input.profile = job.profile;
    input.slot = job.slot;
    input.pendingMacroId = job.pendingMacroId;
    input.macros = job.macros;
    input.chinese = job.chinese;
    const DownloadPlan plan = PlanDownload(input);
    report.corrections = plan.corrections;
    report.skipped = plan.skipped;
    report.macroIds = plan.macroIds;
    if (!report.corrections.empty() && job.notifier) {
        std::string text =
            "The profile holds settings the mouse cannot take. They were sent as the nearest "
            "valid values:";
        for (const std::string& c : report.corrections) {
            text += "\n" + c;
        }
        job.notifier->show(MessageForm::SkinnedNotice, Utf8ToUtf16(text));
    }
    auto progress = [&job](int position) {
        if (job.progress) {
            job.progress(position);
        }
    };

    std::unique_lock lock(*job.deviceMutex);
    // Taken under the lock: a mouse detached from here on is not credited with this run.
    const std::uint64_t generation = job.held ? job.held->generation() : 0;
    const std::size_t count = plan.commands.size();
    std::vector<bool> send(count, true);
    std::size_t toSend = count;
    if (job.held && !job.full) {
        for (std::size_t i = 0; i < count; ++i) {
            if (job.held->holds(plan.commands[i])) {
                send[i] = false;
                --toSend;
            }
        }
    }
    // The whole sequence reports its own positions; a shorter one runs 0...100 over what it sends.
    const bool whole = toSend == count;
    job.clock->sleepMs(kDownloadStartPauseMs);
    if (!whole) {
        progress(kProgressStart);
    }

    bool ok = true;
    std::set<int> failedMacros;  // first chunk of each macro whose upload failed
    std::size_t sent = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const PlanCommand& c = plan.commands[i];
        if (whole) {
            for (int position : c.progressBefore) {
                progress(position);
            }
        }
        if (!send[i]) {
            ++report.commandsSkipped;
            continue;
        }
        if (!whole && sent > 0) {
            progress(static_cast<int>(sent * kProgressDone / toSend));
        }
        ++sent;
        const bool macroFailed = c.macroFirst >= 0 && failedMacros.count(c.macroFirst) != 0;
        if (c.op == PlanOp::ButtonWord && macroFailed) {
            continue;  // its macro did not arrive: the button keeps what it had
        }
        if (c.op == PlanOp::MacroChunk && macroFailed) {
            // The rest of a macro whose earlier chunk failed is not sent, as a block write stops
            // at its first failed chunk; the mouse's copy of these bytes is in doubt.
            if (job.held) {
                job.held->forget(c);
            }
            continue;
        }
        if (c.pauseBeforeMs != 0) {
            job.clock->sleepMs(c.pauseBeforeMs);
        }
        const Outcome out = Execute(*job.device, c);
        ++report.commandsSent;
        if (job.held) {
            if (out.confirmed) {
                job.held->acknowledge(c, generation);
            } else {
                job.held->forget(c);
            }
        }
        if (!out.done) {
            ok = false;
            // A macro's failed upload is one failed step, however many chunks it had left.
            if (c.op != PlanOp::MacroChunk || failedMacros.insert(c.macroFirst).second) {
                report.failures.push_back(c.step);
            }
        } else if (c.op == PlanOp::ButtonWord) {
            ++report.buttonWordsWritten;
        }
        if (c.pauseAfterMs != 0) {
            job.clock->sleepMs(c.pauseAfterMs);
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        const PlanCommand& c = plan.commands[i];
        if (c.op == PlanOp::ButtonWord && c.macroFirst >= 0 &&
            failedMacros.count(c.macroFirst) == 0) {
            ++report.macrosUploaded;
        }
    }
    if (whole) {
        for (int position : plan.progressAfter) {
            progress(position);
        }
    }
    // The device is free again before Windows hears of the pointer settings: telling it sends
    // messages to the program's windows, whose thread may be waiting for the device.
    lock.unlock();
    if (job.pointer && job.pointerMode >= 0 && job.pointerMode < kModeCount) {
        const ProfileData& p = *job.profile;
        PointerSettingsFields fields;
        fields.enhancePrecision = p.enhancePrecision[job.pointerMode];
        fields.pointerSpeed = p.pointerSpeed[job.pointerMode];
        fields.doubleClickSpeed = p.doubleClickSpeed[job.pointerMode];
        fields.scrollLines = p.scrollLines[job.pointerMode];
        job.pointer->apply(fields);
    }

    if (!plan.switchedOff.empty() && job.notifier) {
        std::string text(job.chinese ? kMissingMacroNoticeChinese : kMissingMacroNotice);
        for (std::size_t i = 0; i < plan.switchedOff.size(); ++i) {
            text += (i == 0 ? " " : ", ") + plan.switchedOff[i];
        }
        job.notifier->show(MessageForm::SkinnedNotice, Utf8ToUtf16(text));
    }

    report.ok = ok;
    if (ok) {
        progress(kProgressDone);
        if (job.endPause) {
            job.clock->sleepMs(kDownloadDonePauseMs);
        }
    }
    return ok;
}

}  // namespace q350
