// qavix-sim: the controller emulator on a pseudo-terminal, or with --listen on a TCP port.
// The first line of output is what to open (the device, or the "tcp:HOST:PORT" port
// value); the emulator then answers until it is killed or, when its standard input is a
// pipe, until that pipe closes.

#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FrameServer.h"
#include "ProgramVersion.h"
#include "PtyServer.h"
#include "TcpServer.h"
#include "sim/Options.h"
#include "sim/UnitBus.h"

namespace {

using namespace qavix;

constexpr const char* kListenOption = "--listen";

void printHelp() {
    std::cout << "Usage: qavix-sim [--listen [HOST:]PORT] [options]\n"
                 "Serves the area scanner controller emulator on a pseudo-terminal and prints\n"
                 "the device path as the first line. Runs until killed, or until standard\n"
                 "input closes when it is a pipe.\n\n"
                 "  --listen [HOST:]PORT serve on a TCP port instead (raw; one client at a time,\n"
                 "                       the newest taking the line) and print the port value\n"
                 "                       \"tcp:HOST:PORT\" first.\n"
                 "                       HOST defaults to 127.0.0.1: only this machine can\n"
                 "                       connect unless another address is given. PORT 0 takes\n"
                 "                       any free port.\n\n"
                 "Options:\n"
              << sim::optionsHelp()
              << "  --version            print the version and exit\n"
                 "  -h, --help           print this help and exit\n"
              << "\nWith --line-rate each reply is held back until a line of that baud rate\n"
                 "(\"tty\": the rate the client set on the terminal; with --log each change of\n"
                 "it is logged as \"line-rate BAUD\") would have carried the request and the\n"
                 "reply, at --bits bits per character.\n";
}

// Takes --listen VALUE (or --listen=VALUE) out of args; the rest are emulator options.
bool takeListen(std::vector<std::string>& args, std::optional<std::string>& listen,
                std::string& error) {
    const std::string withValue = std::string(kListenOption) + "=";
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (*it == kListenOption) {
            if (it + 1 == args.end()) {
                error = "--listen needs [HOST:]PORT";
                return false;
            }
            listen = *(it + 1);
            args.erase(it, it + 2);
            return true;
        }
        if (it->compare(0, withValue.size(), withValue) == 0) {
            listen = it->substr(withValue.size());
            args.erase(it);
            return true;
        }
    }
    return true;
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

bool printedHelpOrVersion(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            printHelp();
            return true;
        }
        if (arg == "--version") {
            std::cout << "qavix-sim " << programVersion() << '\n';
            return true;
        }
    }
    return false;
}

struct CommandLine {
    sim::Options options;
    std::optional<std::string> listen;
    std::string listenHost;
    int listenPort = 0;
};

bool parseCommandLine(std::vector<std::string> args, CommandLine& line) {
    std::string error;
    if (!takeListen(args, line.listen, error) ||
        (line.listen &&
         !sim::tool::parseListenAddress(*line.listen, line.listenHost, line.listenPort, error)) ||
        !sim::parseOptions(args, line.options, error)) {
        std::cerr << "qavix-sim: " << error << "\n(see --help)\n";
        return false;
    }
    return true;
}

link::LineFaults faultsOf(const sim::Options& options) {
    link::LineFaults faults;
    faults.dropEvery = options.dropEvery;
    faults.corruptEvery = options.corruptEvery;
    faults.hangAfter = options.hangAfter;
    faults.logTimes = options.logTimes;
    return faults;
}

sim::tool::LineRate lineRateOf(const sim::Options& options) {
    sim::tool::LineRate rate;
    rate.baud = options.lineRate;
    rate.bitsPerCharacter = options.bitsPerCharacter;
    return rate;
}

int serveTcp(link::FrameServer& server, const sim::tool::LineRate& rate, const CommandLine& line) {
    if (rate.baud == sim::kLineRateFromTerminal) {
        std::cerr << "qavix-sim: --line-rate tty needs the pseudo-terminal; give --listen a "
                     "rate in baud\n";
        return 2;
    }
    sim::tool::TcpServer tcp(server, rate);
    std::string error;
    if (!tcp.open(line.listenHost, line.listenPort, error)) {
        std::cerr << "qavix-sim: " << error << '\n';
        return 1;
    }
    std::cout << tcp.target() << std::endl;
    tcp.run(stopDescriptor());
    return 0;
}

int servePty(link::FrameServer& server, const sim::tool::LineRate& rate, std::ofstream* log) {
    sim::tool::PtyServer pty(server, rate, log);
    std::string error;
    if (!pty.open(error)) {
        std::cerr << "qavix-sim: " << error << '\n';
        return 1;
    }
    std::cout << pty.slavePath() << std::endl;
    pty.run(stopDescriptor());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (printedHelpOrVersion(args)) {
        return 0;
    }
    CommandLine line;
    if (!parseCommandLine(args, line)) {
        return 2;
    }
    const sim::Options& options = line.options;
    std::string error;
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
    link::FrameServer server(
        [&](const sim::Command& command) { return controllers->execute(command); },
        faultsOf(options), log.get());
    const sim::tool::LineRate rate = lineRateOf(options);

    signal(SIGPIPE, SIG_IGN);
    // The line model waits for a few milliseconds at a time; the default 50 us timer
    // slack would be a noticeable part of that at 115200 baud. Best effort.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    return line.listen ? serveTcp(server, rate, line) : servePty(server, rate, log.get());
}
