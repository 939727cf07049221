// The device commands over a real serial line: qavix-sim on a pseudo-terminal keeps its
// state between runs of qavixctl, so what one run writes the next one reads back.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "CtlProcess.h"
#include "FileText.h"
#include "SimProcess.h"
#include "TempDir.h"
#include "comm/CCommLink.h"

namespace qavix::cli::test {

using namespace qavix::test;
namespace {

CtlEnv onDevice(const SimProcess& sim, const std::string& dir) {
    return CtlEnv{dir, {{"QAVLINK_COM1", sim.device()}}};
}

std::vector<std::string> withPort(std::vector<std::string> args) {
    args.insert(args.end(), {"--port", "COM1"});
    return args;
}

void expectRun(const CtlEnv& env, const std::vector<std::string>& args, int exitCode = 0) {
    const CtlRun run = runCtl(env, withPort(args));
    EXPECT_EQ(run.exitCode, exitCode) << ::testing::PrintToString(args) << "\n"
                                      << run.err << run.out;
}

TEST(QavixctlPty, BankExportedAndImportedIntoAnotherBankReadsBackEqual) {
    // Every beam of every channel exists, so a set read by Read all and a bank image carry
    // the same values everywhere.
    SimProcess sim({"--sensors", "128,128,128"});
    ASSERT_FALSE(sim.device().empty());
    const TempDir tmp;
    const std::string dir = tmp.str();
    const CtlEnv env = onDevice(sim, dir);

    // The factory banks 1 and 4 copy the current set; a current-set export that missed a
    // field of Read all would show here.
    expectRun(env, {"bank", "export", "0", "current.qbk"});
    expectRun(env, {"bank", "export", "1", "bank1.qbk"});
    expectRun(env, {"bank", "diff", "current.qbk", "bank1.qbk"});

    expectRun(env, {"bank", "export", "2", "bank2.qbk", "--title", "ライン2"});
    expectRun(env, {"bank", "export", "3", "bank3-before.qbk"});
    expectRun(env, {"bank", "diff", "bank2.qbk", "bank3-before.qbk"}, 1);

    expectRun(env, {"--yes", "bank", "import", "bank2.qbk", "--to", "3"});
    expectRun(env, {"bank", "export", "3", "bank3-after.qbk"});
    expectRun(env, {"bank", "diff", "bank2.qbk", "bank3-after.qbk"});
    // The source bank is untouched.
    expectRun(env, {"bank", "export", "2", "bank2-after.qbk"});
    expectRun(env, {"bank", "diff", "bank2.qbk", "bank2-after.qbk"});
}

// `bank show` of a file as NAME -> VALUE, with the per-beam tables (AXIS_THn_k, ZEROn_k)
// cut to the beams each sensor has: Read all does not read beams a sensor lacks, so the
// current values hold nothing there, unlike a bank image.
std::map<std::string, std::string> connectedFields(const CtlEnv& env, const std::string& file,
                                                   const std::vector<int>& beams) {
    const CtlRun run = runCtl(env, {"bank", "show", file});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::map<std::string, std::string> fields;
    const std::regex table(R"(CONTROLLER\.(AXIS_TH|ZERO)([1-3])_([1-8]))");
    for (const std::string& line : lines(run.out)) {
        const size_t eq = line.find('=');
        std::string name = line.substr(0, eq);
        std::string value = line.substr(eq + 1);
        std::smatch m;
        if (std::regex_match(name, m, table)) {
            const size_t sensor = std::stoul(m[2]) - 1;
            const int first = (std::stoi(m[3]) - 1) * 16;
            const int have = sensor < beams.size() ? beams[sensor] : 0;
            std::vector<std::string> values;
            std::stringstream in(value);
            for (std::string v; std::getline(in, v, ',');) {
                values.push_back(v);
            }
            values.resize(static_cast<size_t>(std::clamp(have - first, 0, 16)));
            value.clear();
            for (const std::string& v : values) {
                value += v + ",";
            }
        }
        fields[name] = value;
    }
    return fields;
}

TEST(QavixctlPty, ImportIntoTheCurrentValuesWritesThemToTheController) {
    const std::vector<int> beams = {24, 64};
    SimProcess sim({"--sensors", "24,64"});
    ASSERT_FALSE(sim.device().empty());
    const TempDir tmp;
    const std::string dir = tmp.str();
    const CtlEnv env = onDevice(sim, dir);

    expectRun(env, {"bank", "export", "3", "bank3.qbk"});
    expectRun(env, {"bank", "export", "0", "current-before.qbk"});
    const auto bank3 = connectedFields(env, "bank3.qbk", beams);
    ASSERT_NE(bank3, connectedFields(env, "current-before.qbk", beams));

    expectRun(env, {"bank", "import", "bank3.qbk", "--to", "0", "--yes"});
    expectRun(env, {"bank", "export", "0", "current-after.qbk"});
    EXPECT_EQ(bank3, connectedFields(env, "current-after.qbk", beams));
}

// Sets the emulator's clock to a fixed time through the program's own connection code.
class ScriptedHost : public CommHost {
  public:
    void showMessage(const std::string& text) override { messages += text; }
    bool ask(Question, const std::string&) override { return false; }
    void runCommSettings() override {}
    void endProgram() override {}
    std::string messages;
};

bool setEmulatorClock(const std::string& device, const std::string& clockText) {
    setenv("QAVLINK_COM1", device.c_str(), 1);
    ScriptedHost host;
    DeviceModel model;
    CommTimings timings;
    timings.resetSettle = std::chrono::milliseconds(0);
    CCommLink link(host, model, timings);
    if (!link.start(QAVLINK_PATH)) {
        return false;
    }
    LinkSettings settings;
    settings.blocks[0] = {9600, 8, 0, 0, 0, 0};
    link.setSettings(settings);
    link.setConnecting(true);
    link.open();
    link.setConnecting(false);
    const bool ok =
        link.checkStatus() == kRequestOk &&
        link.request(kCodePutControl, 0, 0, 0, kRequestTimeoutMs, 0, 0, clockText) == kRequestOk;
    link.end();
    return ok;
}

// Seconds between a shown controller time "%y/%m/%d %H:%M:%S" and the PC's clock now.
double secondsFromNow(const std::string& shown) {
    std::tm t{};
    if (strptime(shown.c_str(), "%y/%m/%d %H:%M:%S", &t) == nullptr) {
        return 1e9;
    }
    t.tm_isdst = -1;
    return std::difftime(std::mktime(&t), std::time(nullptr));
}

TEST(QavixctlPty, ClockShowsTheControllerTimeAndSyncSetsItToThePc) {
    SimProcess sim({});
    ASSERT_FALSE(sim.device().empty());
    ASSERT_TRUE(setEmulatorClock(sim.device(), "02120518304504"));
    const CtlEnv env = onDevice(sim, {});

    const CtlRun before = runCtl(env, withPort({"clock"}));
    ASSERT_EQ(before.exitCode, 0) << before.err;
    EXPECT_EQ(before.out.rfind("02/12/05 18:30:", 0), 0u) << before.out;

    const CtlRun sync = runCtl(env, withPort({"clock", "--sync"}));
    ASSERT_EQ(sync.exitCode, 0) << sync.err;
    const CtlRun after = runCtl(env, withPort({"clock"}));
    ASSERT_EQ(after.exitCode, 0) << after.err;
    ASSERT_EQ(lines(after.out).size(), 1u) << after.out;
    EXPECT_LE(std::abs(secondsFromNow(lines(after.out)[0])), 2.0) << after.out;
}

}  // namespace
}  // namespace qavix::cli::test
