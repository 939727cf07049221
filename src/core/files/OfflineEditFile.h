#pragma once
// The bank file that `qavix --edit FILE` works on: the settings it held when opened or last
// saved, and its title, which a save keeps. The program edits these settings as the current
// values of the built-in emulator and writes them back here. The emulator starts from the
// image this reader decoded (imageText), never from a reading of its own, so the pages show
// exactly what the file was taken to hold.

#include <ctime>
#include <optional>
#include <string>

#include "files/BankImport.h"
#include "model/DeviceData.h"

namespace qavix {

// The version text written into a bank file by the program.
constexpr const char* kBankFileVersionText = "2.10";

// The port setting that puts the emulator in the controller's place, started from a bank
// image: "sim:--bank-image HEX --unit N". Only hexadecimal digits and the unit number go into
// it, so the emulator's option parser can take no part of it for another option; nothing
// when `image` is not 2268 such digits or the unit is not 0 to 99.
std::optional<std::string> offlineEmulatorOptions(const std::string& image, int unit);

class OfflineEditFile {
  public:
    // Reads and checks `path` as an import does (lengths, decoding, value ranges), in one
    // reading; on failure the result carries the import's message and nothing is kept.
    bankfile::ImportResult open(const std::string& path);

    const std::string& path() const { return m_path; }
    const std::string& title() const { return m_title; }
    const SettingsData& settings() const { return m_saved; }
    // The bank image of the file as opened: 2268 upper-case hexadecimal digits.
    const std::string& imageText() const { return m_image; }

    // True when saving `current` would change what the file holds (the date aside).
    bool isModified(const SettingsData& current) const;

    // Writes `current` atomically with the file's title and the present time; afterwards
    // `current` is what the file holds. The file is left as it was on failure.
    fileio::WriteResult save(const SettingsData& current, const std::tm& when);

  private:
    std::string m_path;
    std::string m_title;
    std::string m_image;
    SettingsData m_saved;
    std::string m_savedContent;  // m_saved as a file at a fixed time; asked several times a second
};

}  // namespace qavix
