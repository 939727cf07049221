#include "files/BankFile.h"

#include <gtest/gtest.h>

#include "BankSample.h"
#include "TempDir.h"
#include "files/FileIo.h"
#include "files/ProfileFile.h"
#include "files/TextFile.h"

namespace qavix {
namespace {

using test::TempDir;

bankfile::BlockRead readText(const std::string& text) {
    return bankfile::readBlocks(bankfile::BankFileEntries::fromText(text));
}

TEST(BankFileWriter, ReproducesTheHandWrittenSampleByteForByte) {
    TempDir dir;
    const std::string path = dir.file("out.qbk");
    const fileio::WriteResult written = bankfile::writeBankFile(
        path, test::sampleBankSet(), "2.10", test::kSampleTitle, test::sampleTime());
    ASSERT_TRUE(written.ok) << written.error;
    const fileio::ReadResult ours = fileio::readFile(path);
    const fileio::ReadResult sample = fileio::readFile(test::sampleBankPath());
    ASSERT_TRUE(ours.ok());
    EXPECT_EQ(ours.bytes, sample.bytes);
}

TEST(BankFileWriter, ZeroOnThresholdIsWrittenAsTwelveAndOffAlwaysTenBelow) {
    SettingsData set = test::sampleBankSet();
    set.channel(0).onTh = 0;
    set.channel(0).offTh = 77;     // ignored
    set.channel(0).onOffDiff = 3;  // ignored
    set.channel(1).offTh = 1;
    set.channel(0).axisTh[3] = 0;  // zero cells take the values the controller holds
    set.channel(2).zero[127] = 0;
    const bankfile::BankFileText file =
        bankfile::formatBankFile(set, "2.10", "t", test::sampleTime());
    ASSERT_TRUE(file.ok) << file.error;
    const ProfileFile profile = ProfileFile::fromText(file.text);
    EXPECT_EQ(profile.getString("CH1", "ON_TH", ""), "12");
    EXPECT_EQ(profile.getString("CH1", "OFF_TH", ""), "08");
    EXPECT_EQ(profile.getString("CH2", "OFF_TH", ""), "28");
    EXPECT_EQ(profile.getString("CONTROLLER", "AXIS_TH1_1", "").substr(6, 2), "12");
    EXPECT_EQ(profile.getString("CONTROLLER", "ZERO3_8", "").substr(30, 2), "14");
    EXPECT_EQ(set.channel(0).onTh, 0);
}

TEST(BankFileWriter, EmptyCodeTextsAndShortTypeTexts) {
    SettingsData set = test::sampleBankSet();
    set.channel(1).verR.clear();
    set.general.pio[4].clear();
    set.general.type = "AB";
    set.general.versionText = "VER1";
    const bankfile::BankFileText file =
        bankfile::formatBankFile(set, "2.10", "", test::sampleTime());
    ASSERT_TRUE(file.ok) << file.error;
    const ProfileFile profile = ProfileFile::fromText(file.text);
    EXPECT_EQ(profile.getString("CH2", "VER_R", ""), "0000");
    EXPECT_EQ(profile.getString("CONTROLLER", "PIO_05", ""), "0000");
    EXPECT_EQ(profile.getString("CONTROLLER", "TYPE", ""), "4142" + std::string(36, '0'));
    EXPECT_EQ(profile.getString("CONTROLLER", "SFT_VER", ""), "3100000000");
    EXPECT_TRUE(readText(file.text).ok());
}

TEST(BankFileWriter, RefusesValuesThatWouldMakeTheFileUnreadable) {
    struct Case {
        const char* what;
        void (*change)(SettingsData&);
        const char* errorPart;
    };
    const Case cases[] = {
        {"byte above 255", [](SettingsData& s) { s.channel(1).function = 256; }, "CH2: FUNCTION"},
        {"negative", [](SettingsData& s) { s.general.paraRes[1] = -1; }, "PARA_RES2"},
        {"16-bit overflow", [](SettingsData& s) { s.channel(0).timeConf = 0x10000; }, "TIME_CONF"},
        {"OFF_TH below zero", [](SettingsData& s) { s.channel(2).onTh = 5; }, "CH3: OFF_TH"},
        {"joint number", [](SettingsData& s) { s.general.jointNum = 100; }, "JOINT_NUM"},
        {"inversion", [](SettingsData& s) { s.general.pioInv[3] = -1; }, "PIO_INV"},
        {"code of three", [](SettingsData& s) { s.general.pio[0] = "801"; }, "PIO_01"},
        {"blank code", [](SettingsData& s) { s.channel(0).verE = " 201"; }, "VER_E"},
        {"long type", [](SettingsData& s) { s.general.type += "X"; }, "TYPE"},
        {"flag sum", [](SettingsData& s) { s.channel(0).fixAxis.fill(255); }, "FIX_AXIS"},
        {"threshold", [](SettingsData& s) { s.channel(2).axisTh[127] = 300; }, "AXIS_TH3_8"},
        {"group", [](SettingsData& s) { s.general.grpLow[31] = 256; }, "GRP_LOW_CH"},
    };
    for (const Case& c : cases) {
        SettingsData set = test::sampleBankSet();
        c.change(set);
        const bankfile::BankFileText file =
            bankfile::formatBankFile(set, "2.10", "t", test::sampleTime());
        EXPECT_FALSE(file.ok) << c.what;
        EXPECT_NE(file.error.find(c.errorPart), std::string::npos) << c.what << ": " << file.error;
    }
}

TEST(BankFileWriter, RefusedTitleLeavesThePreviousFile) {
    TempDir dir;
    const std::string path = dir.file("b.qbk");
    ASSERT_TRUE(fileio::writeFileAtomic(path, "previous").ok);
    for (const char* title : {"two\nlines", "emoji \xF0\x9F\x98\x80"}) {
        const fileio::WriteResult r =
            bankfile::writeBankFile(path, test::sampleBankSet(), "2.10", title, test::sampleTime());
        EXPECT_FALSE(r.ok) << title;
        EXPECT_FALSE(r.error.empty());
    }
    EXPECT_EQ(fileio::readFile(path).bytes, "previous");
}

TEST(BankFileReader, JoinsTheHandWrittenSampleIntoBlockTexts) {
    const bankfile::BlockRead read = bankfile::readBlocks(test::sampleBankPath());
    ASSERT_TRUE(read.ok()) << read.message;
    EXPECT_EQ(read.texts[0].substr(0, 16), "2812010001020201");
    EXPECT_EQ(read.texts[0].substr(80, 10), "1E14010102");
    EXPECT_EQ(read.texts[3].substr(40, 32),
              "30312E3230"
              "000000"
              "03"
              "10"
              "0000"
              "80108011");
    EXPECT_EQ(read.texts[4].substr(0, 6), "0B0C0D");  // AXIS_TH1_1 beams 1..3: 11, 12, 13
    EXPECT_EQ(read.texts[6].substr(0, 4), "1F20");    // AXIS_TH3_1
    EXPECT_EQ(read.texts[9].substr(254), "67");       // ZERO3_8 beam 128
    EXPECT_EQ(read.texts[10].substr(0, 12), "050A00010001");
    for (size_t i = 0; i < bankfile::kBlockCount; ++i) {
        EXPECT_EQ(read.texts[i].size(), bankfile::kBlockLengths[i]) << i;
    }
}

TEST(BankFileReader, TakesEntriesByPositionNotByKey) {
    const bankfile::BlockRead original = readText(test::sampleBankText());
    ASSERT_TRUE(original.ok());

    const bankfile::BlockRead renamed = readText(
        test::sampleBankText("TYPE_2=12\r\nTYPE_3=01", "WHATEVER=12\r\nNO_EQUALS_LATER=01"));
    ASSERT_TRUE(renamed.ok());
    EXPECT_EQ(renamed.texts, original.texts);

    const bankfile::BlockRead reordered =
        readText(test::sampleBankText("TYPE_2=12\r\nTYPE_3=01", "TYPE_3=01\r\nTYPE_2=12"));
    ASSERT_TRUE(reordered.ok());
    EXPECT_EQ(reordered.texts[0].substr(0, 6), "280112");
    EXPECT_NE(reordered.texts[0], original.texts[0]);

    // Blanks around "=", comments and blank lines are no entries of their own.
    const bankfile::BlockRead spaced =
        readText(test::sampleBankText("TYPE_2=12\r\n", "  TYPE_2 =  12 \r\n; note\r\n\r\n"));
    ASSERT_TRUE(spaced.ok());
    EXPECT_EQ(spaced.texts, original.texts);

    // A line without "=" is a whole value.
    const bankfile::BlockRead bare = readText(test::sampleBankText("TYPE_2=12\r\n", "12\r\n"));
    ASSERT_TRUE(bare.ok());
    EXPECT_EQ(bare.texts, original.texts);
}

TEST(BankFileReader, MalformedFilesGiveTheInvalidDataMessage) {
    const std::string text = test::sampleBankText();
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"CH2 lacks one entry", test::sampleBankText("[CH2]\r\nTYPE_1=80\r\n", "[CH2]\r\n")},
        {"22nd channel entry holds a value", test::sampleBankText("[CH2]", "EXTRA=00\r\n[CH2]")},
        {"over-long value", test::sampleBankText("ON_TH=1E", "ON_TH=01E")},
        {"missing CONTROLLER", text.substr(0, text.find("[CONTROLLER]"))},
        {"truncated mid-file", text.substr(0, text.size() / 2)},
        {"truncated last value", text.substr(0, text.size() - 5)},
        {"controller entry missing", test::sampleBankText("HYS2=0A\r\n", "")},
        {"empty file", ""},
    };
    for (const Case& c : cases) {
        const bankfile::BlockRead read = readText(c.text);
        EXPECT_EQ(read.status, bankfile::ReadStatus::InvalidData) << c.what;
        EXPECT_EQ(read.message, "Bankデータが無効です。インポートを中止します。") << c.what;
    }
}

TEST(BankFileReader, BytesThatAreNotShiftJisMakeTheFileInvalid) {
    TempDir dir;
    const std::string bytes = textfile::encodeText(test::sampleBankText()).bytes;
    ASSERT_TRUE(
        bankfile::readBlocks(bankfile::BankFileEntries::fromText(test::sampleBankText())).ok());
    // In the version line, which the reader skips, and in a value.
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"## Ver 2.10",
                                                                       "## Ver 2.\xFF"
                                                                       "0"},
                                   {"VER_R=0102", "VER_R=01\x81\x20"}}) {
        std::string damaged = bytes;
        const size_t at = damaged.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        damaged.replace(at, from.size(), to);
        const std::string path = dir.file("damaged.qbk");
        ASSERT_TRUE(fileio::writeFileAtomic(path, damaged).ok);
        const bankfile::BlockRead read = bankfile::readBlocks(path);
        EXPECT_EQ(read.status, bankfile::ReadStatus::InvalidData) << from;
        EXPECT_EQ(read.message, bankfile::kInvalidDataMessage) << from;
    }
}

TEST(BankFileReader, NamesEveryKeyOutOfItsPlace) {
    EXPECT_TRUE(bankfile::misplacedKeys(bankfile::BankFileEntries::fromText(test::sampleBankText()))
                    .empty());
    // Blanks around a key do not make it another key.
    EXPECT_TRUE(bankfile::misplacedKeys(bankfile::BankFileEntries::fromText(
                                            test::sampleBankText("TYPE_2=12", " TYPE_2 =12")))
                    .empty());

    // A duplicated line in CH2 shifts every later key of the section by one.
    const auto shifted = bankfile::misplacedKeys(bankfile::BankFileEntries::fromText(
        test::sampleBankText("[CH2]\r\nTYPE_1=80\r\n", "[CH2]\r\nTYPE_1=80\r\nTYPE_1=80\r\n")));
    ASSERT_FALSE(shifted.empty());
    EXPECT_EQ(shifted[0].section, "CH2");
    EXPECT_EQ(shifted[0].position, 2u);
    EXPECT_EQ(shifted[0].expected, "TYPE_2");
    EXPECT_EQ(shifted[0].found, "TYPE_1");
    for (const bankfile::KeyMismatch& m : shifted) {
        EXPECT_EQ(m.section, "CH2");
    }

    const auto renamed = bankfile::misplacedKeys(
        bankfile::BankFileEntries::fromText(test::sampleBankText("HYS2=0A", "HYSTERESIS2=0A")));
    ASSERT_EQ(renamed.size(), 1u);
    EXPECT_EQ(renamed[0].section, "CONTROLLER");
    EXPECT_EQ(renamed[0].expected, "HYS2");
    EXPECT_EQ(renamed[0].found, "HYSTERESIS2");

    const auto missing = bankfile::misplacedKeys(bankfile::BankFileEntries::fromText(
        test::sampleBankText().substr(0, test::sampleBankText().find("[CONTROLLER]"))));
    ASSERT_FALSE(missing.empty());
    EXPECT_EQ(missing[0].section, "CONTROLLER");
    EXPECT_EQ(missing[0].position, 1u);
    EXPECT_EQ(missing[0].found, "");
}

TEST(BankFileReader, EntriesBeyondTheKeptCountsAreIgnored) {
    const bankfile::BlockRead original = readText(test::sampleBankText());
    // An empty 22nd entry joins as nothing; a 23rd is never looked at.
    const bankfile::BlockRead extra =
        readText(test::sampleBankText("[CH2]", "EXTRA=\r\nIGNORED=FFFF\r\n[CH2]"));
    ASSERT_TRUE(extra.ok());
    EXPECT_EQ(extra.texts, original.texts);
    const bankfile::BlockRead tail =
        readText(test::sampleBankText() + "[CONTROLLER]\r\nSECOND=1\r\n");
    ASSERT_TRUE(tail.ok());
    EXPECT_EQ(tail.texts, original.texts);
}

// The reader's line rules where editors and other readers differ: a "#" line is an entry
// like any other (only ";" starts a comment), any line end counts, and the second byte of a
// Shift-JIS character is not taken for a bracket.
TEST(BankFileReader, HashLinesLineEndsAndShiftJisFollowTheProfileRules) {
    const bankfile::BlockRead original = readText(test::sampleBankText());
    ASSERT_TRUE(original.ok());

    const bankfile::BlockRead hash = readText(test::sampleBankText("ON_TH=1E", "#=1E"));
    ASSERT_TRUE(hash.ok());
    EXPECT_EQ(hash.texts, original.texts);
    EXPECT_FALSE(readText(test::sampleBankText("ON_TH=1E\r\n", "# note\r\nON_TH=1E\r\n")).ok());

    for (const char* end : {"\r", "\n"}) {
        std::string text = test::sampleBankText();
        for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
            text.replace(at, 2, end);
        }
        const bankfile::BlockRead read = readText(text);
        ASSERT_TRUE(read.ok()) << (end[0] == '\r' ? "CR" : "LF");
        EXPECT_EQ(read.texts, original.texts);
    }

    // 0x83 0x5D is a katakana whose second byte is "]": the header's name ends at the last
    // real "]", so this is still [CH2], whatever follows.
    std::string bytes = textfile::encodeText(test::sampleBankText()).bytes;
    bytes.replace(bytes.find("[CH2]\r\n"), 7, "[CH2]\x83\x5D\r\n");
    bool lossy = true;
    const bankfile::BlockRead katakana =
        bankfile::readBlocks(bankfile::BankFileEntries::fromCp932(bytes, lossy));
    EXPECT_FALSE(lossy);
    ASSERT_TRUE(katakana.ok());
    EXPECT_EQ(katakana.texts, original.texts);
}

TEST(BankFileReader, OneReadingGivesBlocksTitleAndMisplacedKeys) {
    TempDir dir;
    const std::string path = dir.file("renamed.qbk");
    ASSERT_TRUE(textfile::writeText(path, test::sampleBankText("HYS2=0A", "HYSTERESIS2=0A")).ok);
    const bankfile::BankFileContents file = bankfile::readBankFile(path);
    ASSERT_TRUE(file.blocks.ok());
    EXPECT_EQ(file.blocks.texts, readText(test::sampleBankText()).texts);
    EXPECT_EQ(file.attribute.title, test::kSampleTitle);
    EXPECT_EQ(file.attribute.date, "2024/03/05 14:07:09");
    ASSERT_EQ(file.misplaced.size(), 1u);
    EXPECT_EQ(file.misplaced[0].found, "HYSTERESIS2");
}

TEST(BankFileReader, AnUnopenableFileGivesTheOpenMessageAndTheReason) {
    TempDir dir;
    const bankfile::BlockRead read = bankfile::readBlocks(dir.file("missing.qbk"));
    EXPECT_EQ(read.status, bankfile::ReadStatus::CannotOpen);
    EXPECT_EQ(read.message,
              "指定されたファイルを開くことが出来ませんでした。\nファイルを確認して下さい。");
    EXPECT_EQ(read.reason, dir.file("missing.qbk") + ": No such file or directory");
}

TEST(BankFileTitle, ReadsTitleAndDate) {
    const bankfile::TitleAndDate sample = bankfile::readTitleAndDate(test::sampleBankPath());
    EXPECT_TRUE(sample.found);
    EXPECT_EQ(sample.title, test::kSampleTitle);
    EXPECT_EQ(sample.date, "2024/03/05 14:07:09");

    struct Case {
        const char* attribute;
        bool found;
        const char* title;
        const char* date;
    };
    const Case cases[] = {
        {"TITLE=only\n", false, "only", "-"},
        {"TITLE=a=b\nDATE=x\n", true, "a=b", "x"},
        {"DATE=x\nTITLE=t\n", false, "-", "-"},
        {"title=lower\nDATE=x\n", false, "-", "-"},  // the key is searched as written
        {"TITLE\nDATE\n", true, "", ""},             // nothing after the keys
        {"MYTITLE=t\nOLDDATE=d\n", true, "t", "d"},
        {"", false, "-", "-"},
    };
    for (const Case& c : cases) {
        const auto r = bankfile::readTitleAndDate(bankfile::BankFileEntries::fromText(
            std::string("[ATTRIBUTE]\n") + c.attribute + "[CH1]\n"));
        EXPECT_EQ(r.found, c.found) << c.attribute;
        EXPECT_EQ(r.title, c.title) << c.attribute;
        EXPECT_EQ(r.date, c.date) << c.attribute;
    }
    TempDir dir;
    const auto missing = bankfile::readTitleAndDate(dir.file("none.qbk"));
    EXPECT_FALSE(missing.found);
    EXPECT_EQ(missing.title, "-");
}

TEST(BankFileTitle, LongTitlesAreNotCut) {
    const std::string title(300, 'x');
    const bankfile::BankFileText file =
        bankfile::formatBankFile(test::sampleBankSet(), "2.10", title, test::sampleTime());
    ASSERT_TRUE(file.ok);
    const auto r = bankfile::readTitleAndDate(bankfile::BankFileEntries::fromText(file.text));
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.title, title);
}

}  // namespace
}  // namespace qavix
