#pragma once
// The plant file (plant.ini, docs/plant.md): one section per controller, named by the
// section, with its port, unit, optional golden bank file, the banks a backup includes and
// optional line settings. Every problem is found before anything connects and is reported
// with its line number.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fleet/ControllerName.h"

namespace qavix::fleet {

constexpr int kMaxUnit = 99;

struct PlantController {
    std::string name;
    std::string port;  // as written: COMn, a device path, sim:..., a network target
    int unit = 0;
    std::string golden;  // the bank file of its commissioned settings, resolved; empty: none
    std::array<bool, 4> banks{true, true, true, true};  // Bank 1..4 in a backup
    // Line settings; unset ones come from Qavix.ini (COMn) or the program's defaults.
    std::optional<int> baud;
    std::optional<int> dataBits;  // 7 or 8
    std::optional<bool> evenParity;
    std::optional<int> stopBits;  // 1 or 2
    int line = 0;                 // of the section header
};

struct PlantProblem {
    int line = 0;  // 0: the file as a whole
    std::string message;
};

// The section that is no controller: [Journal], where `Folder` names the change journal of
// the plant's writes (docs/journal.md).
constexpr const char* kJournalSection = "journal";

struct Plant {
    std::vector<PlantController> controllers;
    std::string journalFolder;  // [Journal] Folder, resolved; empty: not given
    std::vector<PlantProblem> problems;  // the plant may be used only when empty

    bool ok() const { return problems.empty(); }
    const PlantController* find(std::string_view name) const;
};

// `text` is the file's bytes, read by the settings-text rule (ini::readSettingsText: UTF-8
// or Shift-JIS, comments, quotes, sections and keys given twice); the plant's keys are
// checked on top. Relative golden paths are taken from `folder` (empty: as written).
Plant parsePlant(std::string_view text, const std::string& folder);

// Reads the file and parses it.
Plant readPlantFile(const std::string& path);

// Why `port` is not something the link library can open, or empty.
std::string portProblem(std::string_view port);

// "plant.ini:12: duplicate name ..." for every problem, one per line; the path and the
// values quoted are escaped as they may be printed (ini::printable).
std::string describeProblems(const Plant& plant, const std::string& path);

}  // namespace qavix::fleet
