#include "config/profile_files.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "base/utf.h"
#include "config/profile_download.h"

namespace q350 {

namespace {

constexpr std::u16string_view kProfileOneFile = u"Profile1.cfg";

bool IsProfileOne(const std::filesystem::path& path) {
    return Utf16FromPath(path).find(kProfileOneFile) != std::u16string::npos;
}

std::u16string SlotFileName(int slot) {
    return u"Profile" + std::u16string(1, static_cast<char16_t>(u'1' + slot)) + u".cfg";
}

std::u16string SlotName(int slot) {
    return u"Profile" + std::u16string(1, static_cast<char16_t>(u'1' + slot));
}

}  // namespace

std::u16string FormatMessage(std::u16string_view message, std::u16string_view text) {
    std::u16string out(message);
    const auto at = out.find(u"%s");
    if (at != std::u16string::npos) {
        out.replace(at, 2, text);
    }
    return out;
}

ProfileFiles::ProfileFiles(std::filesystem::path programFolder, SettingsStore& store,
                           Notifier& notifier, std::function<bool()> chinese)
    : folder_(std::move(programFolder)),
      store_(store),
      notifier_(notifier),
      chinese_(std::move(chinese)),
      profile_(std::make_unique<ProfileData>()),
      unedited_(std::make_unique<ProfileData>()),
      table_(std::make_unique<ConfigInfo>()) {
    ZeroRecord(*profile_);
    ZeroRecord(*table_);
}

std::filesystem::path ProfileFiles::defaultSlotPath(int slot) const {
    return folder_ / "Profile" / PathFromUtf16(SlotFileName(slot));
}

std::filesystem::path ProfileFiles::slotPath(int slot) const {
    const ProfileSlot& s = table_->slots[slot];
    const std::u16string text = FieldText(s.path, kTextChars);
    return text.empty() ? defaultSlotPath(slot) : PathFromUtf16(text);
}

bool ProfileFiles::writeFile(const std::filesystem::path& path, std::span<const std::uint8_t> data,
                             FileError* error) const {
    if (writer_) {
        return writer_(path, data, error);
    }
    return WriteFileAtomic(path, data, error);
}

bool ProfileFiles::ensureFirstRun() {
    std::vector<std::uint8_t> value;
    if (store_.readBinary(u"", kValueFirstRun, value) == StoreResult::Ok) {
        return true;
    }
    const std::uint8_t one[4] = {1, 0, 0, 0};
    return store_.writeBinary(u"", kValueFirstRun, one);
}

bool ProfileFiles::startupLoad() {
    createFailures_ = 0;
    createReports_ = 0;
    ZeroRecord(*table_);
    std::vector<std::uint8_t> stored;
    if (store_.readBinary(u"", kValueConfigInfo, stored) == StoreResult::Ok) {
        FillRecord(*table_, stored);
    } else {
        // Missing, of another type, or the key itself missing: store the empty table. Without a
        // registry the program goes on with the table in memory.
        store_.writeBinary(u"", kValueConfigInfo, RecordBytes(*table_));
    }

    for (int i = 0; i < kSlotCount; ++i) {
        ProfileSlot& s = table_->slots[i];
        SetField(s.path, kTextChars, Utf16FromPath(defaultSlotPath(i)));
        s.tag = kSlotTag;
    }

    bool found = false;
    for (int i = 0; i < kSlotCount && !found; ++i) {
        ProfileSlot& s = table_->slots[i];
        if (s.tag != kSlotTag || s.active == 0) {
            continue;
        }
        const auto path = slotPath(i);
        createdByLastLoad_ = false;
        if (load(path, true) == LoadResult::Loaded) {
            active_ = i;
            found = true;
        } else {
            // A missing or foreign file is replaced by a default profile (load has already done
            // so for a missing one).
            s.active = 0;
            if (!createdByLastLoad_) {
                create(path);
            }
        }
    }

    for (int i = 0; i < kSlotCount; ++i) {
        SetField(table_->slots[i].name, kTextChars, SlotName(i));
    }

    if (!found) {
        const auto path = slotPath(0);
        if (load(path, false) != LoadResult::Loaded) {
            create(path);
        }
        table_->slots[0].active = 1;
        active_ = 0;
    }
    if (createFailures_ > 0 && createReports_ == 0) {
        // A full disk or a file in the folder's place: the profile the user goes on editing
        // exists in memory only, which must not go unsaid.
        notifier_.show(MessageForm::SkinnedNotice, kMsgCreateFailed);
    }
    return createFailures_ == 0;
}

LoadResult ProfileFiles::load(const std::filesystem::path& path, bool reportMissing) {
    if (registryFallback_ && IsProfileOne(path)) {
        std::vector<std::uint8_t> stored;
        if (store_.readBinary(u"", kValueDefaultSetting, stored) == StoreResult::Ok) {
            FillRecord(*profile_, stored);
            markUnedited();
            return LoadResult::Loaded;
        }
    }

    std::vector<std::uint8_t> bytes;
    FileError error = FileError::None;
    if (ReadFileBytes(path, bytes, &error, kProfileSize)) {
        FillRecord(*profile_, bytes);
        if (profile_->magic != kProfileMagic) {
            notifier_.show(MessageForm::StandardInfo,
                           FormatMessage(kMsgInvalidProfile, Utf16FromPath(path)));
            return LoadResult::NotProfile;
        }
        markUnedited();
        return LoadResult::Loaded;
    }
    if (error == FileError::NotFound && reportMissing) {
        notifier_.show(MessageForm::SkinnedNotice,
                       FormatMessage(kMsgOpenFailed, Utf16FromPath(path)));
        createdByLastLoad_ = true;
        create(path);
    }
    return LoadResult::NotLoaded;
}

void ProfileFiles::markUnedited() { *unedited_ = *profile_; }

bool ProfileFiles::hasUnappliedEdits() const {
    for (const auto& mode : pendingMacroId) {
        for (const std::int32_t id : mode) {
            if (id != 0) {
                return true;
            }
        }
    }
    return std::memcmp(profile_.get(), unedited_.get(), sizeof(ProfileData)) != 0;
}

bool ProfileFiles::create(const std::filesystem::path& path) {
    // The record holds the defaults whether or not the file can be written, so that the program
    // never goes on with a half-read or foreign record.
    BuildDefaults(*profile_, isChinese());
    markUnedited();
    FileError error = FileError::None;
    if (writeFile(path, RecordBytes(*profile_), &error)) {
        return true;
    }
    ++createFailures_;
    if (error == FileError::AccessDenied) {
        notifier_.show(MessageForm::SkinnedNotice, kMsgCreateFailed);
        ++createReports_;
    }
    return false;
}

bool ProfileFiles::save() {
    const auto path = slotPath(active_);
    FileError error = FileError::None;
    if (writeFile(path, RecordBytes(*profile_), &error)) {
        if (IsProfileOne(path)) {
            // The file is writable again: later loads read it rather than the registry copy.
            registryFallback_ = false;
        }
        markUnedited();
        return true;
    }
    if (error == FileError::NotFound) {
        notifier_.show(MessageForm::StandardInfo,
                       FormatMessage(kMsgOpenFailed, Utf16FromPath(path)));
        return false;
    }
    if (error == FileError::AccessDenied && IsProfileOne(path)) {
        if (store_.writeBinary(u"", kValueDefaultSetting, RecordBytes(*profile_))) {
            registryFallback_ = true;
            markUnedited();
            return true;
        }
    }
    notifier_.show(MessageForm::StandardInfo, kMsgSaveFailed);
    return false;
}

bool ProfileFiles::select(int slot, bool windowHidden) {
    if (slot < 0 || slot >= kSlotCount) {
        return false;
    }
    // A failed load leaves defaults or a foreign file in the record; the active profile is put
    // back so that a later apply cannot write either over the still-active profile's file.
    auto kept = std::make_unique<ProfileData>(*profile_);
    if (load(slotPath(slot), true) != LoadResult::Loaded) {
        *profile_ = *kept;
        return false;
    }
    for (ProfileSlot& s : table_->slots) {
        s.active = 0;
    }
    table_->slots[slot].active = 1;
    active_ = slot;
    // Ids picked for the profile that was shown must not land in this one's slot.
    clearPendingMacroIds();
    if (windowHidden) {
        writeConfigInfo();
    }
    return true;
}

void ProfileFiles::restoreDefaults() {
    BuildDefaults(*profile_, isChinese());
    ProfileSlot& s = activeSlotRecord();
    for (auto& mode : s.buttonMacroId) {
        for (auto& id : mode) {
            id = 0;
        }
    }
    clearPendingMacroIds();
}

void ProfileFiles::clearPendingMacroIds() {
    for (auto& mode : pendingMacroId) {
        for (auto& id : mode) {
            id = 0;
        }
    }
}

bool ProfileFiles::writeConfigInfo() {
    return store_.writeBinary(u"", kValueConfigInfo, RecordBytes(*table_));
}

namespace {
// Whether the download would send the record as it is, with nothing brought into range.
bool WithinDeviceRanges(const ProfileData& profile) {
    auto copy = std::make_unique<ProfileData>(profile);
    std::vector<std::string> corrections;
    SanitizeForDevice(*copy, &corrections);
    return corrections.empty();
}
}  // namespace

ImportResult ProfileFiles::importProfile(const std::filesystem::path& path) {
    std::vector<std::uint8_t> bytes;
    if (!ReadFileBytes(path, bytes, nullptr, kExportFileSize)) {
        return ImportResult::Unreadable;
    }
    const std::span<const std::uint8_t> all(bytes);
    auto incoming = std::make_unique<ProfileData>();
    FillRecord(*incoming, all.first(bytes.size() < kProfileSize ? bytes.size() : kProfileSize));
    // A file that ends early keeps the active slot's values for the missing part of the slot.
    ProfileSlot slot = activeSlotRecord();
    if (bytes.size() > kProfileSize) {
        const auto tail = all.subspan(kProfileSize);
        auto dst = RecordBytes(slot);
        for (std::size_t i = 0; i < tail.size() && i < dst.size(); ++i) {
            dst[i] = tail[i];
        }
    }
    // Refused like a file that is no profile: one that holds values the mouse must not get.
    if (incoming->magic != kProfileMagic || !WithinDeviceRanges(*incoming)) {
        notifier_.show(MessageForm::StandardInfo,
                       FormatMessage(kMsgInvalidProfile, Utf16FromPath(path)));
        return ImportResult::NotProfile;
    }
    *profile_ = *incoming;
    // Only the settings come from the file's slot, its name, macro ids and the program it
    // follows: the file path, tag and active mark stay the program's own, so an imported file
    // cannot move later saves anywhere else.
    ProfileSlot& active = activeSlotRecord();
    std::copy(std::begin(slot.name), std::end(slot.name), std::begin(active.name));
    // A switch that is not plainly on, or a path without its end, comes in as "off".
    const std::u16string program = AutoPathOf(slot);
    SetAutoSwitch(active, program, !program.empty() && slot.autoSwitch == kAutoSwitchOn);
    for (int m = 0; m < kModeCount; ++m) {
        for (int k = 0; k < kButtonCount; ++k) {
            active.buttonMacroId[m][k] = slot.buttonMacroId[m][k];
        }
    }
    clearPendingMacroIds();
    return ImportResult::Imported;
}

bool ProfileFiles::exportProfile(const std::filesystem::path& path, FileError* error) const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kExportFileSize);
    const auto record = RecordBytes(*profile_);
    const auto slot = RecordBytes(activeSlotRecord());
    bytes.insert(bytes.end(), record.begin(), record.end());
    bytes.insert(bytes.end(), slot.begin(), slot.end());
    return writeFile(path, bytes, error);
}

}  // namespace q350
