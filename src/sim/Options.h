#pragma once
// Emulator options, given as "sim:--sensors 40,32 --unit 2" in a port setting or as the
// command line of qavix-sim. One parser serves both, so the two accept exactly the same.

#include <cstdint>
#include <string>
#include <vector>

namespace qavix::sim {

constexpr int kMaxSensors = 3;
constexpr int kMaxBeamsPerSensor = 128;
constexpr int kMaxUnit = 99;

// Operating states as the status reply reports them.
enum State : int {
    kStateNormal = 0,
    kStateSetting = 1,
    kStateError = 2,
    kStateFactory = 30,
};

// lineRate: take the baud rate the client set on its terminal (or its port settings block).
constexpr int kLineRateFromTerminal = -1;

struct Options {
    // Controller model.
    std::vector<int> beams{40, 32};  // beams per connected sensor; its size is JOINT_NUM
    int unit = 0;
    // Further controllers on the same line (an RS-485 bus), each answering its own unit
    // number; they start alike and keep their own state.
    std::vector<int> moreUnits;
    int state = kStateNormal;  // state at power-on
    int errorNumber = 0xC8;    // error shown when the state is 2
    std::string scenarioFile;  // initial settings, banks and error log (docs/emulator.md)
    std::string bankFile;      // a .qbk whose settings and sensors replace the factory ones
    std::string bankImage;     // the same as a bank image's hexadecimal text (no file at all)
    std::uint64_t seed = 1;    // the received-light model is a pure function of seed and time
    bool steadyLight = false;  // no drift, noise or passing objects: every read agrees

    // Transport; the controller model ignores these, the frame server applies them.
    int lineRate = 0;  // baud of the line model; 0 no delay, or kLineRateFromTerminal
    int bitsPerCharacter = 11;
    int dropEvery = 0;      // swallow every N-th reply; 0 never
    int corruptEvery = 0;   // spoil the check character of every N-th reply; 0 never
    int hangAfter = -1;     // answer no request after the first N; negative never
    std::string logFile;    // one line per request
    bool logTimes = false;  // log lines start with the time they were received
    // In-process only: a request left unanswered times out at once instead of after the
    // caller's time-out, so tests of a silent line do not sit out real waits.
    bool instantTimeout = false;
};

// Parses arguments such as {"--sensors", "40,32", "--unit=2"} into options, starting from
// the values already in `options`. On failure returns false with a message in `error`
// and leaves `options` unchanged.
bool parseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

// The same for one text: an optional "sim" or "sim:" prefix, then the arguments separated
// by blanks. Double quotes keep blanks inside an argument (a file path) and are dropped.
bool parseOptionText(const std::string& text, Options& options, std::string& error);

// One line per option, for --help of the tools.
std::string optionsHelp();

}  // namespace qavix::sim
