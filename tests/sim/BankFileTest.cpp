// The emulator started on a bank file: it must present the controller the file describes,
// so that the program's compatibility check accepts the file as its own current values.

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "FifoWriter.h"
#include "SimTestHelper.h"
#include "TempDir.h"
#include "sim/BankFileImage.h"
#include "sim/InputFile.h"

namespace qavix::sim {
namespace {

using test::Sim;

// A bank file from an image's hexadecimal text, with each block's value cut into as many
// entries as the format has for it (the keys are not looked at, nor where a value is cut).
std::string bankFileText(const std::string& hex) {
    std::string out =
        "## Area Scanner Configuration File\r\n## Ver 2.10\r\n##\r\n##\r\n##\r\n"
        "[ATTRIBUTE]\r\nTITLE=\x83\x65\x83\x58\x83\x67\r\nDATE=2024/03/15 10:00:00\r\n";
    size_t at = 0;
    auto entries = [&](size_t length, size_t count) {
        for (size_t i = 0; i + 1 < count; ++i) {
            out += "K=" + hex.substr(at, 2) + "\r\n";
            at += 2;
            length -= 2;
        }
        out += "LAST=" + hex.substr(at, length) + "\r\n";
        at += length;
    };
    for (int c = 0; c < 3; ++c) {
        out += "[CH" + std::to_string(c + 1) + "]\r\n";
        entries(128, 21);
    }
    out += "[CONTROLLER]\r\n";
    entries(160, 23);
    for (int block = 0; block < 6; ++block) {
        entries(256, 8);
    }
    entries(188, 28);
    return out;
}

// A controller unlike the factory one: other sensors, type text and thresholds.
std::string sourceImage() {
    Options o;
    o.beams = {24, 128};
    Scenario s;
    std::string error;
    EXPECT_TRUE(Scenario::parse("[current]\nimage:192 = 5A5A\nimage:272 = 3C 3D\n", s, error))
        << error;
    Sim source(o, s);
    return source.text(150, 0, 0);  // Bank 1 starts as a copy of the current set
}

TEST(BankFileImage, TheControllerTakesSensorsTypeAndSettingsFromTheFile) {
    const std::string hex = sourceImage();
    ASSERT_EQ(hex.size(), 2u * kImageSize);
    BankFileImage file;
    std::string error;
    ASSERT_TRUE(parseBankFileImage(bankFileText(hex), file, error)) << error;
    EXPECT_EQ(file.beams, (std::vector<int>{24, 128}));

    Options o = test::threeSensors();  // overridden by the file
    o.beams = file.beams;
    Scenario s;
    s.current.push_back(ScenarioEdit{kImageEdit, 0, hex});
    Sim sim(o, s);
    EXPECT_EQ(sim.text(80), "02");
    EXPECT_EQ(sim.text(72, 0, 3), "188000");
    EXPECT_EQ(sim.text(46).substr(0, 2), "ZZ");
    EXPECT_EQ(sim.text(103, 0, 3), "3C3D32");
    EXPECT_EQ(sim.text(150, 0, 0), hex);  // banks start as copies of it
}

TEST(BankFileImage, CreateReadsTheFileNamedInTheOptionsAndRefusesBadOnes) {
    const qavix::test::TempDir temp;
    const std::filesystem::path& dir = temp.path();
    const std::string good = (dir / "line 2.qbk").string();
    std::ofstream(good, std::ios::binary) << bankFileText(sourceImage());

    Options o;
    std::string error;
    ASSERT_TRUE(parseOptionText("sim:--sensors 8 --bank-file \"" + good + "\"", o, error)) << error;
    EXPECT_EQ(o.bankFile, good);
    auto controller = Controller::create(o, error);
    ASSERT_NE(controller, nullptr) << error;
    Command c;
    c.op = Op::GetParameter;
    c.id = 72;
    c.count = 3;
    EXPECT_EQ(controller->execute(c).text, "188000");

    const std::string hex = sourceImage();
    struct Bad {
        const char* what;
        std::string text;
    };
    const Bad bad[] = {
        {"short", bankFileText(hex.substr(0, hex.size() - 2))},
        {"not hexadecimal", bankFileText("G" + hex.substr(1))},
        {"no controller section", "[CH1]\r\nA=00\r\n[CH2]\r\n[CH3]\r\n"},
    };
    for (const Bad& b : bad) {
        const std::string path = (dir / "bad.qbk").string();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << b.text;
        o.bankFile = path;
        error.clear();
        EXPECT_EQ(Controller::create(o, error), nullptr) << b.what;
        EXPECT_NE(error.find(path), std::string::npos) << b.what << ": " << error;
    }
    o.bankFile = (dir / "missing.qbk").string();
    EXPECT_EQ(Controller::create(o, error), nullptr);
}

// Files the emulator starts from are read only when they are regular files of at most
// 16 MiB, as the program's reader does: a FIFO would stall the start until a writer came,
// /dev/zero would fill memory. Either is refused at once, for --bank-file and --scenario.
TEST(BankFileImage, OnlyRegularFilesUpToTheCapAreRead) {
    const qavix::test::TempDir dir;
    qavix::test::FifoWriter fifo(dir.file("fifo"));
    ASSERT_TRUE(fifo.made());
    const std::string large = dir.file("large.qbk");
    std::ofstream(large).close();
    ASSERT_EQ(::truncate(large.c_str(), static_cast<off_t>(kMaxInputFileSize + 1)), 0);
    struct Case {
        std::string path;
        std::string why;
    };
    const Case cases[] = {
        {fifo.path(), fifo.path() + " is a FIFO, not a regular file"},
        {"/dev/zero", "/dev/zero is a device, not a regular file"},
        {dir.path().string(), dir.path().string() + " is a folder, not a regular file"},
        {large, large + " is larger than 16 MiB"},
    };
    for (const Case& c : cases) {
        for (bool scenario : {false, true}) {
            Options o;
            (scenario ? o.scenarioFile : o.bankFile) = c.path;
            std::string error;
            const auto made = fifo.readAlone([&] { return Controller::create(o, error); });
            ASSERT_TRUE(made) << c.path << ": the read waited for a writer";
            EXPECT_EQ(*made, nullptr) << c.path;
            EXPECT_EQ(error, (scenario ? "scenario file: " : "bank file: ") + c.why);
        }
    }

    // Exactly at the cap the file is read (and then refused for what it holds).
    ASSERT_EQ(::truncate(large.c_str(), static_cast<off_t>(kMaxInputFileSize)), 0);
    std::string bytes;
    std::string error;
    ASSERT_TRUE(readInputFile(large, bytes, error)) << error;
    EXPECT_EQ(bytes.size(), kMaxInputFileSize);
}

// The program hands the emulator the image it decoded instead of a file name: the same
// checks apply, and nothing but hexadecimal digits is taken.
TEST(BankFileImage, AnImageIsTakenAsHexadecimalText) {
    const std::string hex = sourceImage();
    Options o;
    std::string error;
    ASSERT_TRUE(parseOptionText("sim:--bank-image " + hex + " --unit 4", o, error)) << error;
    auto controller = Controller::create(o, error);
    ASSERT_NE(controller, nullptr) << error;
    EXPECT_EQ(controller->unit(), 4);
    Command c;
    c.unit = 4;
    c.op = Op::GetParameter;
    c.id = 72;
    c.count = 3;
    EXPECT_EQ(controller->execute(c).text, "188000");

    std::string outOfRange = hex;
    outOfRange.replace(2 * (272 + 128 + 16), 2, "C9");  // beam 17 of sensor 2
    for (const auto& [image, why] :
         {std::pair<std::string, std::string>{hex.substr(2), "1134 bytes"},
          {"\"" + hex.substr(1), "1134 bytes"},
          {outOfRange, "AXIS_TH2_2"}}) {
        o.bankImage = image;
        EXPECT_EQ(Controller::create(o, error), nullptr);
        EXPECT_NE(error.find(why), std::string::npos) << error;
    }
    o.bankImage = hex;
    o.bankFile = "line.qbk";
    EXPECT_EQ(Controller::create(o, error), nullptr);
    EXPECT_EQ(error, "--bank-file and --bank-image exclude each other");
}

TEST(BankFileImage, QuotesKeepBlanksAndMustBeBalanced) {
    Options o;
    std::string error;
    ASSERT_TRUE(parseOptionText("sim:--log \"/tmp/a b/log.txt\" --unit 3", o, error)) << error;
    EXPECT_EQ(o.logFile, "/tmp/a b/log.txt");
    EXPECT_EQ(o.unit, 3);
    Options before = o;
    EXPECT_FALSE(parseOptionText("sim:--log \"/tmp/a b", o, error));
    EXPECT_EQ(o.logFile, before.logFile);
}

}  // namespace
}  // namespace qavix::sim
