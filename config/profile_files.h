#pragma once

// The five profile files, the slot table in the registry and the one profile record in memory:
// start-up load, load, create, save, select, restore defaults, import and export.
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "base/file_io.h"
#include "base/notifier.h"
#include "base/settings_store.h"
#include "config/profile_data.h"

namespace q350 {

// Registry values under the program's key.
inline constexpr std::u16string_view kValueConfigInfo = u"ConfigInfo";
inline constexpr std::u16string_view kValueDefaultSetting = u"DefaultSetting";
inline constexpr std::u16string_view kValueFirstRun = u"FirstRun";

// Messages; %s is replaced by a path.
inline constexpr std::u16string_view kMsgInvalidProfile = u"%s is an invaild Profile!";
inline constexpr std::u16string_view kMsgOpenFailed =
    u"Failed to open file, check whether there is a %s path?";
inline constexpr std::u16string_view kMsgCreateFailed =
    u"Failed to create Profile, make sure you have permission to create files!";
inline constexpr std::u16string_view kMsgSaveFailed =
    u"Configuration can't be saved, make sure you have permission to access configuration files!";

// Replaces the first "%s" of a message with text.
std::u16string FormatMessage(std::u16string_view message, std::u16string_view text);

// Results of a load, with the values callers compare against.
enum class LoadResult : int { NotLoaded = 0, Loaded = 1, NotProfile = 255 };

enum class ImportResult { Imported, Unreadable, NotProfile };

class ProfileFiles {
public:
    // chinese tells the current language for default button labels (English when empty).
    ProfileFiles(std::filesystem::path programFolder, SettingsStore& store, Notifier& notifier,
                 std::function<bool()> chinese = {});

    // The file of slot i (0..4): program folder / "Profile" / "Profile<i+1>.cfg".
    std::filesystem::path defaultSlotPath(int slot) const;

    // Writes FirstRun = 1 when it is missing or not binary. Run before the start-up load.
    bool ensureFirstRun();
    // Reads the slot table, finds and loads the active profile (creating default files where
    // needed). Afterwards the active slot and the record are valid. False when a default profile
    // file could not be written: the record then holds the defaults only in memory, and the user
    // has been told so once (the refused-access message, or that message at the end when the
    // write failed for another reason).
    bool startupLoad();

    // Reads a profile file into the record. Missing file with reportMissing: message, and the
    // file is created with defaults. A wrong magic: message, NotProfile.
    LoadResult load(const std::filesystem::path& path, bool reportMissing);
    // Builds defaults into the record and writes them as a profile file.
    bool create(const std::filesystem::path& path);
    // Writes the record to the active slot's file (profile 1 falls back to the registry when
    // the file is refused). Run after a successful download.
    bool save();
    // Makes slot (0..4) active by loading its file. On failure the active slot and the record
    // stay as they were. windowHidden: the main window is in the tray, so the table is stored
    // at once.
    bool select(int slot, bool windowHidden);
    // Default profile in the record, and no macro on any button of the active slot.
    void restoreDefaults();
    // Stores the slot table as ConfigInfo.
    bool writeConfigInfo();

    // Takes a profile, the slot's name and the button macro ids from an export file. The active
    // slot keeps its own path, tag and active mark. A file without the profile magic, or with a
    // value out of the ranges the mouse takes, is reported and changes nothing.
    ImportResult importProfile(const std::filesystem::path& path);
    // Writes the record and the active slot as an export file.
    bool exportProfile(const std::filesystem::path& path, FileError* error = nullptr) const;

    ProfileData& profile() { return *profile_; }
    const ProfileData& profile() const { return *profile_; }
    ConfigInfo& configInfo() { return *table_; }
    const ConfigInfo& configInfo() const { return *table_; }
    int activeSlot() const { return active_; }
    ProfileSlot& activeSlotRecord() { return table_->slots[active_]; }
    const ProfileSlot& activeSlotRecord() const { return table_->slots[active_]; }
    // The file named in a slot's path field.
    std::filesystem::path slotPath(int slot) const;
    bool registryFallback() const { return registryFallback_; }
    const std::filesystem::path& programFolder() const { return folder_; }

    // How profile and export files are written; WriteFileAtomic unless replaced (tests use this
    // to stand in for refused writes).
    using FileWriter = std::function<bool(const std::filesystem::path&,
                                          std::span<const std::uint8_t>, FileError*)>;
    void setFileWriter(FileWriter writer) { writer_ = std::move(writer); }

    void clearPendingMacroIds();
    // The record or the buttons' macro choices differ from what was last loaded from the
    // profile's file or saved after an Apply.
    bool hasUnappliedEdits() const;
    // Whether built-in texts are Chinese at the moment.
    bool chineseTexts() const { return isChinese(); }

    // Process-wide editing state (not saved).
    int currentMode = 0;     // 0 office, 1 MOBA, 2 FPS
    int currentLedZone = 0;  // 0 or 1
    // Macro id per button set by the mouse page; the download copies non-zero ones to the slot.
    // Cleared after a download went well and whenever the record is replaced (selection, import,
    // restore).
    std::int32_t pendingMacroId[kModeCount][kButtonCount] = {};

private:
    void markUnedited();
    bool isChinese() const { return chinese_ && chinese_(); }
    bool writeFile(const std::filesystem::path& path, std::span<const std::uint8_t> data,
                   FileError* error) const;

    std::filesystem::path folder_;
    SettingsStore& store_;
    Notifier& notifier_;
    std::function<bool()> chinese_;
    FileWriter writer_;
    std::unique_ptr<ProfileData> profile_;
    std::unique_ptr<ProfileData> unedited_;  // the record as last loaded or saved
    std::unique_ptr<ConfigInfo> table_;
    int active_ = 0;
    bool registryFallback_ = false;
    bool createdByLastLoad_ = false;
    int createFailures_ = 0;  // failed creates since the start of the last startupLoad
    int createReports_ = 0;   // of these, the ones the user was told about
};

}  // namespace q350
