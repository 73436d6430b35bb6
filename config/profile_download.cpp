#include "config/profile_download.h"

#include <algorithm>
#include <memory>

#include "base/utf.h"
#include "config/function_catalog.h"

namespace q350 {

namespace {

const char* const kModeNames[kModeCount] = {"office", "MOBA", "FPS"};
const char* const kModeNamesChinese[kModeCount] = {"办公模式", "MOBA模式", "FPS模式"};

std::string ModeText(int m) { return std::string("mode ") + kModeNames[m]; }

// Brings one value into [lo, hi] and notes the change.
void Clamp(std::int32_t& value, std::int32_t lo, std::int32_t hi, const std::string& what,
           std::vector<std::string>* notes) {
    const std::int32_t fixed = std::clamp(value, lo, hi);
    if (fixed != value) {
        if (notes) {
            notes->push_back(what + " " + std::to_string(value) + " sent as " +
                             std::to_string(fixed));
        }
        value = fixed;
    }
}

bool IsReportRateCode(std::int32_t code) {
    return std::find(std::begin(kReportRateCodes), std::end(kReportRateCodes), code) !=
           std::end(kReportRateCodes);
}

// Colour copies split into components, scaled where the zone's effect asks for it.
std::array<std::array<std::uint32_t, kModeCount>, 3> ZoneComponents(const ProfileData& p,
                                                                    int zone) {
    std::array<std::array<std::uint32_t, kModeCount>, 3> rgb{};  // red, green, blue
    for (int m = 0; m < kModeCount; ++m) {
        const std::uint32_t c = p.ledColor[zone][m];
        Rgb colour{c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF};
        if (p.ledEffect[zone][m] == kEffectSteady) {
            colour = ScaleBrightness(colour, p.ledBrightness[zone][m]);
        }
        rgb[0][m] = colour.red & 0xFF;
        rgb[1][m] = colour.green & 0xFF;
        rgb[2][m] = colour.blue & 0xFF;
    }
    return rgb;
}

std::array<std::uint32_t, kModeCount> PerMode(const std::int32_t (&values)[kModeCount]) {
    return {static_cast<std::uint32_t>(values[0]), static_cast<std::uint32_t>(values[1]),
            static_cast<std::uint32_t>(values[2])};
}

class Sequence {
public:
    Sequence(const DownloadJob& job, DownloadReport& report) : job_(job), report_(report) {}

    void pause() { job_.clock->sleepMs(kCommandPauseMs); }
    void progress(int percent) {
        if (job_.progress) {
            job_.progress(percent);
        }
    }
    void check(bool result, const std::string& step) {
        if (!result) {
            ok_ = false;
            report_.failures.push_back(step);
        }
    }
    bool ok() const { return ok_; }

private:
    const DownloadJob& job_;
    DownloadReport& report_;
    bool ok_ = true;
};

}  // namespace

Rgb ScaleBrightness(Rgb c, std::int32_t a) {
    const std::uint32_t top = std::max({c.red, c.green, c.blue});
    if (top == 0) {
        return c;
    }
    const auto level = static_cast<std::uint32_t>(a);
    const std::uint32_t target = (2 * level) / 10 + (top % 23) + 23 * (level + 1);
    bool placed = false;
    for (std::uint32_t* component : {&c.red, &c.green, &c.blue}) {
        if (!placed && *component == top) {
            *component = target;
            placed = true;
        } else {
            *component = *component * target / top;
        }
    }
    return c;
}

DpiTables BuildDpiTables(const ProfileData& p) {
    DpiTables t;
    for (int m = 0; m < kModeCount; ++m) {
        if (p.dpiListMode[m] == 1) {
            for (int l = 0; l < kDpiLevels; ++l) {
                t.x[m][l] = static_cast<std::uint32_t>(p.dpiX[m][l]);
                t.y[m][l] = static_cast<std::uint32_t>(p.dpiY[m][l]);
            }
        } else {
            int next = 0;
            for (int l = 0; l < kDpiLevels; ++l) {
                if (p.dpiLevelOn[m][l] != 0) {
                    t.x[m][next] = static_cast<std::uint32_t>(p.dpiX[m][kDpiLevelSlotFirst + l]);
                    t.y[m][next] = static_cast<std::uint32_t>(p.dpiY[m][kDpiLevelSlotFirst + l]);
                    ++next;
                }
            }
        }
    }
    return t;
}

void SanitizeForDevice(ProfileData& p, std::vector<std::string>* notes) {
    auto defaults = std::make_unique<ProfileData>();
    BuildDefaults(*defaults, false);
    for (int m = 0; m < kModeCount; ++m) {
        const std::string mode = ModeText(m);
        // DPI: one to four levels, each in use between 100 and 8,200 DPI.
        if (p.dpiListMode[m] == 1) {
            Clamp(p.dpiTopLevel[m], 0, kDpiLevels - 1, mode + ": top DPI level", notes);
            for (int l = 0; l < kDpiLevels; ++l) {
                const bool used = l <= p.dpiTopLevel[m];
                const std::string what = mode + ": DPI level " + std::to_string(l + 1);
                Clamp(p.dpiX[m][l], used ? kDpiValueMin : 0, kDpiValueMax, what + " X", notes);
                Clamp(p.dpiY[m][l], used ? kDpiValueMin : 0, kDpiValueMax, what + " Y", notes);
            }
        } else {
            int on = 0;
            for (int l = 0; l < kDpiLevels; ++l) {
                on += p.dpiLevelOn[m][l] != 0 ? 1 : 0;
            }
            if (on == 0) {
                p.dpiLevelOn[m][0] = 1;
                on = 1;
                if (notes) {
                    notes->push_back(mode + ": no DPI level in use; level 1 sent");
                }
            }
            Clamp(p.dpiTopLevel[m], on - 1, on - 1, mode + ": top DPI level", notes);
            for (int l = 0; l < kDpiLevels; ++l) {
                if (p.dpiLevelOn[m][l] != 0) {
                    const int s = kDpiLevelSlotFirst + l;
                    const std::string what = mode + ": DPI level " + std::to_string(l + 1);
                    Clamp(p.dpiX[m][s], kDpiValueMin, kDpiValueMax, what + " X", notes);
                    Clamp(p.dpiY[m][s], kDpiValueMin, kDpiValueMax, what + " Y", notes);
                }
            }
        }
        if (!IsReportRateCode(p.reportRate[m])) {
            if (notes) {
                notes->push_back(mode + ": report rate code " + std::to_string(p.reportRate[m]) +
                                 " sent as " + std::to_string(defaults->reportRate[m]));
            }
            p.reportRate[m] = defaults->reportRate[m];
        }
        Clamp(p.liftHeight[m], 0, kLiftMax, mode + ": lift-off value", notes);
        Clamp(p.proximitySensing[m], 0, 1, mode + ": proximity sensing", notes);
        for (int z = 0; z < kZoneCount; ++z) {
            const std::string zone = mode + ": zone " + std::to_string(z);
            Clamp(p.ledEffect[z][m], 0, kLedEffectMax, zone + " light effect", notes);
            Clamp(p.ledSpeed[z][m], 0, kLedSpeedMax, zone + " light speed", notes);
            Clamp(p.ledBrightness[z][m], 0, kLedBrightnessMax, zone + " brightness", notes);
        }
    }
}

bool DownloadProfile(const DownloadJob& job, DownloadReport* reportOut) {
    DownloadReport local;
    DownloadReport& report = reportOut ? *reportOut : local;
    report = DownloadReport{};
    if (!job.profile || !job.slot || !job.device || !job.currentMode || !job.deviceMutex ||
        !job.clock) {
        report.failures.push_back("download started without a profile, device or lock");
        return false;
    }
    Sequence seq(job, report);

    // The record stays as it is; only what goes to the mouse is brought into range.
    auto sent = std::make_unique<ProfileData>(*job.profile);
    SanitizeForDevice(*sent, &report.corrections);
    const ProfileData& p = *sent;
    if (!report.corrections.empty() && job.notifier) {
        std::string text =
            "The profile holds settings the mouse cannot take. They were sent as the nearest "
            "valid values:";
        for (const std::string& c : report.corrections) {
            text += "\n" + c;
        }
        job.notifier->show(MessageForm::SkinnedNotice, Utf8ToUtf16(text));
    }

    std::unique_lock lock(*job.deviceMutex);
    int& mode = *job.currentMode;
    const int savedMode = mode;
    job.clock->sleepMs(kDownloadStartPauseMs);
    seq.progress(kProgressStart);

    int step = 1;
    int macroSlot = 0;
    std::vector<std::string> switchedOff;  // "office 13": what the user is told
    for (int m = 0; m < kModeCount; ++m) {
        mode = m;
        seq.progress(kProgressMode);
        for (int k = 0; k < kButtonCount; ++k) {
            seq.progress(2 * step);
            const ButtonAssignment& button = p.buttons[m][k];
            const std::string where = ModeText(m) + " button " + std::to_string(k + 1);
            std::optional<std::uint32_t> word;
            if (button.function == fn::kMacro) {
                if (job.pendingMacroId && job.pendingMacroId[m][k] != 0) {
                    job.slot->buttonMacroId[m][k] = job.pendingMacroId[m][k];
                }
                const auto id = static_cast<std::uint32_t>(job.slot->buttonMacroId[m][k]);
                const MacroRecord* macro = job.macros ? job.macros->find(id) : nullptr;
                if (!macro || !IsMacroInUse(*macro)) {
                    // Switched off rather than left alone: the mouse would otherwise go on
                    // playing whatever macro an earlier download put on the button.
                    report.skipped.push_back(where + ": macro " + std::to_string(id) +
                                             " is not in the library");
                    switchedOff.push_back(
                        std::string(job.chinese ? kModeNamesChinese[m] : kModeNames[m]) + " " +
                        std::to_string(k + 1));
                    word = kWordDisabled;
                } else if (UploadMacro(*job.device, macroSlot, *macro)) {
                    word = DeviceWord(button, macroSlot);
                    ++macroSlot;
                    ++report.macrosUploaded;
                } else {
                    seq.check(false, where + ": upload of macro " + std::to_string(id) +
                                         " into slot " + std::to_string(macroSlot));
                }
            } else {
                word = DeviceWord(button);
            }
            if (word) {
                const bool written = job.device->writeButtonWord(k + 1, *word);
                seq.check(written, where + ": button word");
                report.buttonWordsWritten += written ? 1 : 0;
                seq.pause();
            }
            ++step;
        }
    }

    seq.pause();
    seq.check(job.device->setParameter(kParamTopLevel, PerMode(p.dpiTopLevel)), "DPI level count");
    const DpiTables dpi = BuildDpiTables(p);
    const std::uint8_t dpiIds[2][kModeCount] = {{kParamDpiX0, kParamDpiX1, kParamDpiX2},
                                                {kParamDpiY0, kParamDpiY1, kParamDpiY2}};
    for (int axis = 0; axis < 2; ++axis) {
        for (int m = 0; m < kModeCount; ++m) {
            const auto& v = axis == 0 ? dpi.x[m] : dpi.y[m];
            seq.pause();
            seq.check(job.device->setDpiLevels(dpiIds[axis][m], v[0], v[1], v[2], v[3]),
                      std::string("DPI levels ") + (axis == 0 ? "X" : "Y") + " of " + ModeText(m));
        }
    }

    seq.progress(kProgressParameters);
    seq.pause();
    seq.check(job.device->setParameter(kParamReportRate, PerMode(p.reportRate)), "report rate");
    seq.pause();
    seq.check(job.device->setParameter(kParamLiftOff, PerMode(p.liftHeight)), "lift-off value");

    seq.progress(kProgressLighting);
    seq.pause();
    seq.check(job.device->setParameter(kParamEffect0, PerMode(p.ledEffect[0])), "zone 0 effect");
    seq.pause();
    seq.check(job.device->setParameter(kParamSpeed0, PerMode(p.ledSpeed[0])), "zone 0 speed");
    const auto zone0 = ZoneComponents(p, 0);
    seq.pause();
    seq.check(job.device->setColourComponent(kParamRed0, zone0[0]), "zone 0 red");
    seq.pause();
    seq.check(job.device->setColourComponent(kParamBlue0, zone0[2]), "zone 0 blue");
    seq.pause();
    seq.check(job.device->setColourComponent(kParamGreen0, zone0[1]), "zone 0 green");

    seq.pause();
    seq.check(job.device->setParameter(kParamProximity, PerMode(p.proximitySensing)),
              "proximity sensing");
    seq.pause();
    seq.check(job.device->setParameter(kParamEffect1, PerMode(p.ledEffect[1])), "zone 1 effect");
    seq.pause();
    seq.check(job.device->setParameter(kParamSpeed1, PerMode(p.ledSpeed[1])), "zone 1 speed");
    const auto zone1 = ZoneComponents(p, 1);
    seq.pause();
    seq.check(job.device->setColourComponent(kParamRed1, zone1[0]), "zone 1 red");
    seq.pause();
    seq.check(job.device->setColourComponent(kParamBlue1, zone1[2]), "zone 1 blue");
    seq.pause();
    seq.check(job.device->setColourComponent(kParamGreen1, zone1[1]), "zone 1 green");

    mode = savedMode;
    // The device is free again before Windows hears of the pointer settings: telling it sends
    // messages to the program's windows, whose thread may be waiting for the device.
    lock.unlock();
    if (job.pointer && savedMode >= 0 && savedMode < kModeCount) {
        PointerSettingsFields fields;
        fields.enhancePrecision = p.enhancePrecision[savedMode];
        fields.pointerSpeed = p.pointerSpeed[savedMode];
        fields.doubleClickSpeed = p.doubleClickSpeed[savedMode];
        fields.scrollLines = p.scrollLines[savedMode];
        job.pointer->apply(fields);
    }

    if (!switchedOff.empty() && job.notifier) {
        std::string text(job.chinese ? kMissingMacroNoticeChinese : kMissingMacroNotice);
        for (std::size_t i = 0; i < switchedOff.size(); ++i) {
            text += (i == 0 ? " " : ", ") + switchedOff[i];
        }
        job.notifier->show(MessageForm::SkinnedNotice, Utf8ToUtf16(text));
    }

    report.ok = seq.ok();
    if (report.ok) {
        seq.progress(kProgressDone);
        job.clock->sleepMs(kDownloadDonePauseMs);
    }
    return report.ok;
}

}  // namespace q350
