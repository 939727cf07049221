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
#include "MessageCatalogue.h"
#include "ProgramLanguage.h"
#include "ProgramVersion.h"
#include "PtyServer.h"
#include "TcpServer.h"
#include "Translate.h"
#include "sim/Options.h"
#include "sim/UnitBus.h"

namespace {

using namespace qavix;

constexpr const char* kListenOption = "--listen";

void printHelp() {
    // The emulator's own options are described in English only (docs/emulator.md); what
    // this program adds around them speaks the chosen language.
    std::cout
        << QX_("使い方: qavix-sim [--listen [HOST:]PORT] [--lang ja|en] [オプション]\n"
               "エリアスキャナのコントローラのエミュレータを疑似端末で動かし、デバイスのパスを\n"
               "最初の行に表示する。終了させられるまで、または標準入力がパイプのときはそれが\n"
               "閉じるまで動く。\n\n"
               "  --listen [HOST:]PORT 代わりに TCP ポートで動き（生のバイト列、クライアントは\n"
               "                       一度に1つで最新のものが回線を取る）、ポートの値\n"
               "                       \"tcp:HOST:PORT\" を最初に表示する。\n"
               "                       HOST の既定は 127.0.0.1: 別のアドレスを指定しない限り\n"
               "                       このマシンからしか接続できない。PORT 0 は空いている\n"
               "                       ポートを使う。\n"
               "  --lang ja|en         表示の言語（既定: QAVIX_LANG、ロケール）\n\n"
               "オプション:\n")
        << sim::optionsHelp()
        << QX_("  --version            バージョンを表示して終了する\n"
               "  -h, --help           このヘルプを表示して終了する\n")
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
                error = QX_("--listen には [HOST:]PORT が要ります");
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

// Takes --lang VALUE (or --lang=VALUE) out of args: the language is set up before anything
// else reads them.
void takeLanguage(std::vector<std::string>& args) {
    const std::string withValue = std::string(i18n::kLanguageOption) + "=";
    for (auto it = args.begin(); it != args.end();) {
        if (*it == i18n::kLanguageOption) {
            it = args.erase(it, it + 1 == args.end() ? it + 1 : it + 2);
        } else if (it->compare(0, withValue.size(), withValue) == 0) {
            it = args.erase(it);
        } else {
            ++it;
        }
    }
}

bool parseCommandLine(std::vector<std::string> args, CommandLine& line) {
    std::string error;
    takeLanguage(args);
    if (!takeListen(args, line.listen, error) ||
        (line.listen &&
         !sim::tool::parseListenAddress(*line.listen, line.listenHost, line.listenPort, error)) ||
        !sim::parseOptions(args, line.options, error)) {
        std::cerr << "qavix-sim: " << error << '\n' << QX_("（--help を参照）") << '\n';
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
        std::cerr << "qavix-sim: "
                  << QX_("--line-rate tty は擬似端末でのみ使えます。--listen "
                         "にはボーレートを指定してください")
                  << '\n';
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
    // Before any text is made. The emulator reads no Qavix.ini.
    const i18n::LanguageChoice language =
        i18n::setUpProgramLanguage(i18n::languageArgument(args), std::string());
    if (!language.passedOver.empty()) {
        std::string spoken;
        for (const std::string& name : i18n::spokenLanguages(i18n::catalogueFolder())) {
            spoken += (spoken.empty() ? "" : ", ") + name;
        }
        std::cerr << "qavix-sim: "
                  << i18n::fill(QX_("%1: この言語はありません（%2）"),
                                {language.passedOver, spoken})
                  << '\n';
        if (language.passedOver.rfind(i18n::kLanguageOption, 0) == 0) {
            return 2;
        }
    }
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
            std::cerr << "qavix-sim: " << i18n::fill(QX_("%1 に書き込めません"), {options.logFile})
                      << '\n';
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
