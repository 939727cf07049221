// qavix-sim: the controller emulator on a pseudo-terminal. The first line of output is
// the device to open; the emulator then answers until it is killed or, when its standard
// input is a pipe, until that pipe closes.

#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "FrameServer.h"
#include "ProgramVersion.h"
#include "PtyServer.h"
#include "sim/Options.h"
#include "sim/UnitBus.h"

namespace {

using namespace qavix;

void printHelp() {
    std::cout << "Usage: qavix-sim [options]\n"
                 "Serves the area scanner controller emulator on a pseudo-terminal and prints\n"
                 "the device path as the first line. Runs until killed, or until standard\n"
                 "input closes when it is a pipe.\n\n"
                 "Options:\n"
              << sim::optionsHelp()
              << "  --version            print the version and exit\n"
                 "  -h, --help           print this help and exit\n"
              << "\nWith --line-rate each reply is held back until a line of that baud rate\n"
                 "(\"tty\": the rate the client set on the terminal) would have carried the\n"
                 "request and the reply, at --bits bits per character.\n";
}

// Only a pipe or socket tells us when our parent is gone; a terminal or /dev/null is
// not watched.
int stopDescriptor() {
    struct stat info {};
    if (fstat(STDIN_FILENO, &info) != 0) {
        return -1;
    }
    return S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode) ? STDIN_FILENO : -1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            printHelp();
            return 0;
        }
        if (arg == "--version") {
            std::cout << "qavix-sim " << programVersion() << '\n';
            return 0;
        }
    }
    sim::Options options;
    std::string error;
    if (!sim::parseOptions(args, options, error)) {
        std::cerr << "qavix-sim: " << error << "\n(see --help)\n";
        return 2;
    }
    std::unique_ptr<sim::UnitBus> controllers = sim::UnitBus::create(options, error);
    if (!controllers) {
        std::cerr << "qavix-sim: " << error << '\n';
        return 2;
    }
    std::unique_ptr<std::ofstream> log;
    if (!options.logFile.empty()) {
        log = std::make_unique<std::ofstream>(options.logFile, std::ios::trunc);
        if (!*log) {
            std::cerr << "qavix-sim: cannot write " << options.logFile << '\n';
            return 2;
        }
    }
    link::LineFaults faults;
    faults.dropEvery = options.dropEvery;
    faults.corruptEvery = options.corruptEvery;
    faults.hangAfter = options.hangAfter;
    faults.logTimes = options.logTimes;
    link::FrameServer server(
        [&](const sim::Command& command) { return controllers->execute(command); }, faults,
        log.get());
    sim::tool::LineRate rate;
    rate.baud = options.lineRate;
    rate.bitsPerCharacter = options.bitsPerCharacter;

    sim::tool::PtyServer pty(server, rate);
    if (!pty.open(error)) {
        std::cerr << "qavix-sim: " << error << '\n';
        return 1;
    }
    signal(SIGPIPE, SIG_IGN);
    // The line model waits for a few milliseconds at a time; the default 50 us timer
    // slack would be a noticeable part of that at 115200 baud. Best effort.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    std::cout << pty.slavePath() << std::endl;
    pty.run(stopDescriptor());
    return 0;
}
