#include "files/BankImport.h"

#include <gtest/gtest.h>

#include <random>

#include "BankSample.h"
#include "TempDir.h"
#include "files/TextFile.h"
#include "model/ImportCheck.h"

namespace qavix {
namespace {

using test::TempDir;

// The fields a bank file carries, compared one by one so a failure names the field.
void expectSameBankFields(const SettingsData& a, const SettingsData& b) {
    for (int n = 0; n < kChannelCount; ++n) {
        const ChannelRecord& x = a.channel(n);
        const ChannelRecord& y = b.channel(n);
        SCOPED_TRACE("CH" + std::to_string(n + 1));
        EXPECT_EQ(x.beamCount, y.beamCount);
        EXPECT_EQ(x.type2, y.type2);
        EXPECT_EQ(x.type3, y.type3);
        EXPECT_EQ(x.verR, y.verR);
        EXPECT_EQ(x.verE, y.verE);
        EXPECT_EQ(x.fixAxis, y.fixAxis);
        EXPECT_EQ(x.setAxis, y.setAxis);
        EXPECT_EQ(x.onTh, y.onTh);
        EXPECT_EQ(x.offTh, y.offTh);
        EXPECT_EQ(x.function, y.function);
        EXPECT_EQ(x.fixConf, y.fixConf);
        EXPECT_EQ(x.floConf, y.floConf);
        EXPECT_EQ(x.timeConf, y.timeConf);
        EXPECT_EQ(x.countConf, y.countConf);
        EXPECT_EQ(x.subConf, y.subConf);
        EXPECT_EQ(x.almConf, y.almConf);
        EXPECT_EQ(x.axisTh, y.axisTh);
        EXPECT_EQ(x.zero, y.zero);
        EXPECT_EQ(x.hys, y.hys);
        EXPECT_EQ(x.thCnf, y.thCnf);
    }
    const GeneralBlock& g = a.general;
    const GeneralBlock& h = b.general;
    EXPECT_EQ(g.type, h.type);
    EXPECT_EQ(g.softwareVersion(), h.softwareVersion());
    EXPECT_EQ(g.jointNum, h.jointNum);
    EXPECT_EQ(g.tchCnf, h.tchCnf);
    EXPECT_EQ(g.pio, h.pio);
    EXPECT_EQ(g.pioInv, h.pioInv);
    EXPECT_EQ(g.fixCnf, h.fixCnf);
    EXPECT_EQ(g.allOnOffCnf, h.allOnOffCnf);
    EXPECT_EQ(g.allOn, h.allOn);
    EXPECT_EQ(g.allOff, h.allOff);
    EXPECT_EQ(g.paraCnf, h.paraCnf);
    EXPECT_EQ(g.paraType, h.paraType);
    EXPECT_EQ(g.paraRes, h.paraRes);
    EXPECT_EQ(g.paraUnit, h.paraUnit);
    EXPECT_EQ(g.grpCnf, h.grpCnf);
    EXPECT_EQ(g.grpUp, h.grpUp);
    EXPECT_EQ(g.grpLow, h.grpLow);
}

TEST(BankImport, HandWrittenSampleDecodesToTheSampleSet) {
    SettingsData decoded;
    ASSERT_TRUE(bankfile::importFile(test::sampleBankPath(), decoded).ok());
    expectSameBankFields(test::sampleBankSet(), decoded);
    EXPECT_EQ(decoded.general.versionText, "VER01.20");
}

TEST(BankImport, ImportResultsCarryTheProgramsMessages) {
    TempDir dir;
    auto write = [&](const std::string& name, const std::string& text) {
        EXPECT_TRUE(textfile::writeText(dir.file(name), text).ok);
        return dir.file(name);
    };

    SettingsData set;
    const auto onOff = bankfile::importFile(
        write("a.qbk", test::sampleBankText("ON_TH=1E\r\nOFF_TH=14", "ON_TH=12\r\nOFF_TH=12")),
        set);
    EXPECT_EQ(onOff.status, bankfile::ImportStatus::OutOfRange);
    EXPECT_EQ(onOff.field, "ON_OFF_TH1");
    EXPECT_EQ(onOff.message,
              "インポートしたデータが異常です。\nファイルの内容を確認して下さい。\n（ON_OFF_TH1）");

    // Beam 17 of sensor 2 is the first beam of AXIS_TH2_2.
    const auto beam = bankfile::importFile(
        write("b.qbk", test::sampleBankText("AXIS_TH2_2=16", "AXIS_TH2_2=C9")), set);
    EXPECT_EQ(beam.field, "AXIS_TH2_2");

    const auto notHex =
        bankfile::importFile(write("c.qbk", test::sampleBankText("HYS2=0A", "HYS2=0X")), set);
    EXPECT_EQ(notHex.status, bankfile::ImportStatus::InvalidData);
    EXPECT_EQ(notHex.message, bankfile::kInvalidDataMessage);

    const auto joint = bankfile::importFile(
        write("d.qbk", test::sampleBankText("JOINT_NUM=03", "JOINT_NUM=3A")), set);
    EXPECT_EQ(joint.status, bankfile::ImportStatus::InvalidData);

    // A JOINT_NUM that is a number but beyond the sensors is named by the range check...
    for (const char* value : {"JOINT_NUM=04", "JOINT_NUM=99", "JOINT_NUM=00"}) {
        const auto beyond =
            bankfile::importFile(write("e.qbk", test::sampleBankText("JOINT_NUM=03", value)), set);
        EXPECT_EQ(beyond.status, bankfile::ImportStatus::OutOfRange) << value;
        EXPECT_EQ(beyond.field, "JOINT_NUM") << value;
        EXPECT_EQ(beyond.message, importAbnormalMessage("JOINT_NUM")) << value;
    }
    // ...unless the file is invalid for another reason too.
    std::string both = test::sampleBankText("JOINT_NUM=03", "JOINT_NUM=04");
    both.replace(both.find("HYS2=0A"), 7, "HYS2=0X");
    EXPECT_EQ(bankfile::importFile(write("f.qbk", both), set).status,
              bankfile::ImportStatus::InvalidData);

    const auto missing = bankfile::importFile(dir.file("none.qbk"), set);
    EXPECT_EQ(missing.status, bankfile::ImportStatus::CannotOpen);
    EXPECT_EQ(missing.message, bankfile::kOpenFailedMessage);
    EXPECT_NE(missing.reason.find("none.qbk: No such file"), std::string::npos) << missing.reason;
}

// Files that pass decoding and the range check and still describe no controller: no
// controller reports a version of other characters than hexadecimal digits, nor a connected
// sensor without beams. Such a file could not be imported into any controller (the
// compatibility check compares exactly these), nor be run on the emulator.
TEST(BankImport, AFileThatDescribesNoControllerIsInvalidData) {
    TempDir dir;
    const std::string sample = test::sampleBankText();
    auto importEdited = [&](const std::string& from, const std::string& to) {
        EXPECT_TRUE(textfile::writeText(dir.file("f.qbk"), test::sampleBankText(from, to)).ok);
        SettingsData set;
        return bankfile::importFile(dir.file("f.qbk"), set);
    };
    for (const char* version : {"VER_R=V1.0", "VER_R=AB C", "VER_R=01 2"}) {
        const auto result = importEdited("VER_R=0102", version);
        EXPECT_EQ(result.status, bankfile::ImportStatus::InvalidData) << version;
        EXPECT_EQ(result.message, bankfile::kInvalidDataMessage) << version;
    }
    EXPECT_TRUE(importEdited("VER_R=0102", "VER_R=0a0f").ok());
    // CH3 is connected (JOINT_NUM=03) but has no beams.
    const size_t ch3 = sample.find("[CH3]\r\nTYPE_1=");
    ASSERT_NE(ch3, std::string::npos);
    const std::string beams = sample.substr(ch3, 16);
    EXPECT_EQ(importEdited(beams, "[CH3]\r\nTYPE_1=00").status,
              bankfile::ImportStatus::InvalidData);
    EXPECT_TRUE(importEdited(beams, "[CH3]\r\nTYPE_1=01").ok());
}

TEST(BankImport, RandomDamageNeverBreaksTheImportPath) {
    const std::string sample = test::sampleBankText();
    std::mt19937 random(2024);
    int outcomes[4] = {};
    for (int round = 0; round < 400; ++round) {
        std::string damaged = sample;
        const int hits = 1 + static_cast<int>(random() % 4);
        for (int k = 0; k < hits; ++k) {
            const size_t at = random() % damaged.size();
            switch (random() % 3) {
                case 0:
                    damaged[at] = static_cast<char>(random());
                    break;
                case 1:
                    damaged.erase(at, random() % 40);
                    break;
                default: {
                    // One draw after the other, so every compiler damages alike.
                    const char fill = "0F=\n"[random() % 4];
                    const size_t length = random() % 5;
                    damaged.insert(at, std::string(length, fill));
                }
            }
        }
        const bankfile::BlockRead read =
            bankfile::readBlocks(bankfile::BankFileEntries::fromText(damaged));
        if (!read.ok()) {
            ++outcomes[0];
            continue;
        }
        SettingsData set;
        if (bankfile::decodeBlocks(read.texts, set) != codec::DecodeResult::Ok) {
            ++outcomes[1];
            continue;
        }
        ++outcomes[findOutOfRangeField(set) ? 2 : 3];
    }
    // Damage of each kind is met: the file is rejected at every stage, or still passes.
    for (int outcome : outcomes) {
        EXPECT_GT(outcome, 0);
    }
}

}  // namespace
}  // namespace qavix
