#pragma once
// A scenario file: settings, bank images and error log that the emulator starts with
// instead of (on top of) its factory state. Format in docs/emulator.md:
//
//   [current]            ; the current set
//   image:272 = 3C3C3C   ; bytes of the set's bank-image layout from byte 272
//   61 = 140A0001        ; an identifier's area, as a put would write it (element 0 on)
//   103:128 = 2828       ; ... from element 128
//   [bank2]              ; bank1 .. bank4
//   clear = 1            ; the bank starts erased
//   image:1040 = 0C0C0C
//   [errors]
//   1 = 231105093012 00 C8 1409012C   ; entry 1 (newest) .. 20; blanks are ignored
//   [events]             ; what happens while it runs, seconds after start
//   4 = error A2         ; the controller detects fault A2
//   2.5 = light CH1:5-8 40   ; beams 5..8 of CH1 receive 40 % of their light from then on

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/MemoryLayout.h"

namespace qavix::sim {

struct ScenarioEdit {
    int area = 0;  // identifier; kImageEdit for raw bytes of the bank-image layout
    int start = 0;
    std::string text;
};
constexpr int kImageEdit = -1;

struct BankScenario {
    bool clear = false;
    std::vector<ScenarioEdit> edits;  // image edits only
};

// Something that happens at a time after the controller starts, so tests can watch a
// controller change while it is being read.
struct ScenarioEvent {
    enum class Kind { Error, Light };
    std::int64_t atMs = 0;
    Kind kind = Kind::Error;
    int errorNumber = 0;  // Error: entered as by Controller::raiseError
    int channel = 0;      // Light: 0-based sensor, beams first..last (0-based)
    int firstBeam = 0;
    int lastBeam = 0;
    int percent = 100;  // Light: share of the model's light the beams receive
};

struct Scenario {
    std::vector<ScenarioEdit> current;
    std::array<BankScenario, kBankCount> banks;
    std::vector<std::pair<int, std::string>> errors;  // entry index 0..19 and its text
    std::vector<ScenarioEvent> events;                // in the order of their times

    // Every edit is checked against the memory layout here, so applying a parsed
    // scenario cannot fail. Errors name the line.
    static bool parse(const std::string& text, Scenario& scenario, std::string& error);
    static bool load(const std::string& path, Scenario& scenario, std::string& error);
};

// Applies edits to a set (or, for banks, to an image-sized memory); returns the Command.h
// error code of the first edit that does not fit.
int applyEdit(SetMemory& memory, const ScenarioEdit& edit);

}  // namespace qavix::sim
