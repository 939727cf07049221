// The settings report's lines: blocks, order, values and the Shift-JIS column layout.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "ScopedLanguage.h"
#include "ShiftJis.h"
#include "report/SettingsReport.h"

namespace qavix::report {
namespace {

constexpr size_t kValueColumn = 36;
const char* const kControllerTitle =
    "               ＃＃　エリアスキャナ　コントローラ設定内容一覧　＃＃";

std::tm fixedTime() {
    std::tm t{};
    t.tm_year = 2003 - 1900;
    t.tm_mon = 0;
    t.tm_mday = 5;
    t.tm_hour = 9;
    t.tm_min = 7;
    t.tm_sec = 3;
    return t;
}

SettingsData twoSensors() {
    SettingsData s;
    GeneralBlock& g = s.general;
    g.type = "RQ5M-C1";
    g.versionText = "VER01.23";
    g.serialText = "020B002A";
    g.idText = "00ABCD";
    g.jointNum = 2;
    g.pio.fill("0000");
    g.pio[5] = "804F";
    g.pioInv[5] = 1;
    for (int c = 0; c < 2; ++c) {
        ChannelRecord& ch = s.channel(c);
        ch.versionText = "1.5";
        ch.beamCount = 12;
        ch.modelText = "RQ-S";
        ch.verE = "0102";
        ch.verR = "0310";
        ch.emitterSerial = "21110123";
        ch.receiverSerial = "21050045";
        ch.sensorId = "1A2B";
        ch.pitchText = "15mm";
        ch.axisTh.fill(50);
        ch.hys = 10;
    }
    return s;
}

// The UTF-8 text of CP932 bytes, or nothing when they do not decode cleanly (a full-width
// character cut in half, for instance).
std::optional<std::string> fromCp932(const std::string& bytes) {
    const sjis::Conversion decoded = sjis::fromCp932(bytes);
    if (!decoded.complete) {
        return std::nullopt;
    }
    return decoded.text;
}

// CP932 bytes of a report line; every report text has a CP932 form.
std::string cp932Bytes(const std::string& line) {
    const sjis::Conversion encoded = sjis::toCp932(line);
    EXPECT_TRUE(encoded.complete) << line;
    return encoded.text;
}

// The value of an item line, cut at byte 36 of its Shift-JIS form.
std::string valueAtColumn(const std::string& line) {
    const std::string bytes = cp932Bytes(line);
    return fromCp932(bytes.substr(std::min(kValueColumn, bytes.size()))).value();
}

// The first item line whose label (after the four-space indent) starts with `label`.
std::string lineWithLabel(const ReportLines& lines, const std::string& label) {
    for (const std::string& line : lines) {
        if (line.rfind("    " + label, 0) == 0) {
            return line;
        }
    }
    return {};
}

bool contains(const ReportLines& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

ReportLines build(const SettingsData& s, bool extended = false) {
    return buildSettingsReport(s, defaultReportSelection(s.general.jointNum), extended,
                               fixedTime());
}

TEST(ReportBuilder, TwoSensorsGiveControllerCh1AndCh2Blocks) {
    const ReportLines lines = build(twoSensors());
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], kControllerTitle);
    EXPECT_EQ(lines[1], std::string(50, ' ') + "日付　2003/01/05    9：07：03");
    EXPECT_EQ(lines[2], "");
    EXPECT_TRUE(contains(lines, "＃＃　エリアスキャナ　センサ　CH1　設定内容一覧　＃＃"));
    EXPECT_TRUE(contains(lines, "＃＃　エリアスキャナ　センサ　CH2　設定内容一覧　＃＃"));
    EXPECT_FALSE(contains(lines, "CH3"));
}

TEST(ReportBuilder, SensorSelectionIsIndependentOfConnection) {
    ReportSelection selection;
    selection.controller = false;
    selection.sensors = {false, true, false};
    const ReportLines lines = buildSettingsReport(twoSensors(), selection, false, fixedTime());
    EXPECT_FALSE(contains(lines, "CH1"));
    EXPECT_TRUE(contains(lines, "センサ　CH2　設定内容一覧"));
    // OUT2 and OUT3 belong to CH1 only.
    EXPECT_FALSE(contains(lines, "■出力設定"));
}

TEST(ReportBuilder, ControllerBasicInformation) {
    const ReportLines lines = build(twoSensors());
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "シリアル№")), "0042Y02");
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "ＩＤ")), "00ABCD");
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "接続センサ数")), "2");
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "バージョン")), "VER01.23");
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "OUT2,3応答時間")), "3.0ms / 7.5ms");
}

TEST(ReportBuilder, FingerprintLineLeavesOutWhatIdentifiesTheUnit) {
    const auto fingerprintOf = [](const SettingsData& set) {
        return valueAtColumn(lineWithLabel(build(set), "設定フィンガープリント"));
    };
    const std::string shown = fingerprintOf(twoSensors());
    ASSERT_EQ(shown.size(), 9u) << shown;
    EXPECT_EQ(shown[4], '-');
    SettingsData other = twoSensors();
    other.general.idText = "000001";
    other.general.serialText = "020B0099";
    other.channel(0).sensorId = "9999";
    EXPECT_EQ(fingerprintOf(other), shown);
    other.channel(1).hys = 11;
    EXPECT_NE(fingerprintOf(other), shown);
}

TEST(ReportBuilder, PioLinesShowInversionThenFunction) {
    const ReportLines lines = build(twoSensors());
    EXPECT_EQ(lineWithLabel(lines, "D00"), "    D00" + std::string(29, ' ') + "反転無効 未設定");
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "D05")), "反転有効 グループ16   　入光");
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "D15")), "反転無効 未設定");
    EXPECT_EQ(lineWithLabel(lines, "D16"), "");
}

TEST(ReportBuilder, EveryItemValueStartsAtByteColumn36) {
    SettingsData s = twoSensors();
    s.general.jointNum = 3;
    s.channel(2) = s.channel(0);
    const ReportLines lines = build(s, true);
    int items = 0;
    for (const std::string& line : lines) {
        const bool itemLine = line.rfind("    ", 0) == 0 && line.size() > 4 && line[4] != ' ';
        if (!itemLine) {
            continue;  // headings, empty lines and the centred titles
        }
        ++items;
        const std::string bytes = cp932Bytes(line);
        ASSERT_GT(bytes.size(), kValueColumn) << line;
        // The label part ends in padding and splits cleanly from the value: a full-width
        // character cut in half would not decode.
        EXPECT_EQ(bytes[kValueColumn - 1], ' ') << line;
        const std::optional<std::string> label = fromCp932(bytes.substr(0, kValueColumn));
        ASSERT_TRUE(label.has_value()) << line;
        EXPECT_EQ(line.rfind(*label, 0), 0u) << line;
    }
    EXPECT_GT(items, 100);
}

TEST(ReportBuilder, ThresholdRowsOfTenWithOnAboveOff) {
    const ReportLines lines = build(twoSensors());
    const auto heading = std::find(lines.begin(), lines.end(), "■光軸毎しきい値設定");
    ASSERT_NE(heading, lines.end());
    const std::vector<std::string> expected = {
        "    CH1 ON しきい値   1～ 10        60, 60, 60, 60, 60, 60, 60, 60, 60, 60",
        "    CH1 ON しきい値  11～ 12        60, 60",
        "",
        "    CH1 OFF しきい値   1～ 10       50, 50, 50, 50, 50, 50, 50, 50, 50, 50",
        "    CH1 OFF しきい値  11～ 12       50, 50",
        "",
        "    CH2 ON しきい値   1～ 10        60, 60, 60, 60, 60, 60, 60, 60, 60, 60",
    };
    ASSERT_GT(lines.end() - heading, static_cast<long>(expected.size()));
    EXPECT_EQ(std::vector<std::string>(heading + 1, heading + 1 + 7), expected);
}

TEST(ReportBuilder, ThresholdConfigurationOneListsEntryAsOn) {
    SettingsData s = twoSensors();
    s.channel(0).thCnf = 1;
    s.channel(0).axisTh[10] = 70;
    const ReportLines lines = build(s);
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "CH1 ON しきい値  11")), "70, 50");
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "CH1 OFF しきい値  11")), "60, 40");
}

TEST(ReportBuilder, BlankingAndDesignatedBeamFlags) {
    SettingsData s = twoSensors();
    s.channel(0).fixAxis[3] = beamBitWeight(3);
    s.channel(0).fixAxis[11] = beamBitWeight(11);
    s.channel(0).setAxis[0] = beamBitWeight(0);
    const ReportLines lines = build(s, true);
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "CH1 ブランキング光軸　  1～ 10")),
              "0, 0, 0, 1, 0, 0, 0, 0, 0, 0");
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "CH1 ブランキング光軸　 11～ 12")), "0, 1");
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "指定光軸　  1～ 10")),
              "1, 0, 0, 0, 0, 0, 0, 0, 0, 0");
}

TEST(ReportBuilder, GroupsShowUpperThenLowerEnd) {
    SettingsData s = twoSensors();
    s.general.grpUp[0] = 5;                // group 1 upper beam
    s.general.grpUp[kGroupCount + 0] = 2;  // group 1 upper channel
    s.general.grpLow[0] = 10;
    s.general.grpLow[kGroupCount + 0] = 1;
    const ReportLines lines = build(s);
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "グループ1 ")), "CH2  5   ～   CH1 10");
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "グループ16")), "CH-  -   ～   CH-  -");
}

TEST(ReportBuilder, ParallelOutputsAndArrangement) {
    SettingsData s = twoSensors();
    s.general.paraCnf = 1;
    s.general.allOnOffCnf = 2;
    s.general.paraRes = {0x26, 1};
    s.general.paraType = {1, 0};
    const ReportLines lines = build(s);
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "パラレル出力")), "センサ一括処理");
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "総合ON/OFF判定")), "センサ個別処理");
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "P-I/O出力判定モード　1")), "CH3  入光  総光軸数");
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "出力フォーマット　1")), "BCD");
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "出力フォーマット　2")), "バイナリ");
}

TEST(ReportBuilder, ExtendedModeAddsOptionAndSensorSections) {
    const ReportLines normal = build(twoSensors(), false);
    const ReportLines extended = build(twoSensors(), true);
    for (const char* heading : {"■オプション設定", "■しきい値", "■機能設定"}) {
        EXPECT_FALSE(contains(normal, heading)) << heading;
        EXPECT_TRUE(contains(extended, heading)) << heading;
    }
    // Without the option section an empty line stands between parallel output and thresholds.
    const auto thresholds = std::find(normal.begin(), normal.end(), "■光軸毎しきい値設定");
    ASSERT_NE(thresholds, normal.begin());
    EXPECT_EQ(*(thresholds - 1), "");
}

TEST(ReportBuilder, FloatingBlankingDetailsOnlyWhileItIsOn) {
    SettingsData s = twoSensors();
    s.channel(0).floConf = 0x32;  // bits 4 and 5 are switches, the count is 2
    s.channel(0).floConfBit4 = 1;
    EXPECT_EQ(valueAtColumn(lineWithLabel(build(s, true), "Floating ブランキング光軸数")), " ━ ");
    s.channel(0).functionBit2 = 1;
    const ReportLines lines = build(s, true);
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "Floating ブランキング光軸数")), "2");
    EXPECT_EQ(valueAtColumn(lineWithLabel(lines, "Floating ブランキング連続設定")), "有効");
}

TEST(ReportBuilder, SensorBlockLayout) {
    SettingsData s = twoSensors();
    s.channel(0).beamCount = 3;
    s.channel(0).subConf = 0x0F;
    s.channel(0).almConf = 0x01;
    s.channel(0).setAxis[2] = beamBitWeight(2);
    ReportSelection selection;
    selection.controller = false;
    selection.sensors = {true, false, false};
    const ReportLines lines = buildSettingsReport(s, selection, false, fixedTime());
    const std::vector<std::string> expected = {
        "               ＃＃　エリアスキャナ　センサ　CH1　設定内容一覧　＃＃",
        "",
        "■基本情報",
        "    形式                            RQ-S",
        "    投光器バージョン                Ver 1.02",
        "    受光器バージョン                Ver 3.10",
        "    投光器シリアルNo.               0123Y21",
        "    受光器シリアルNo.               0045521",
        "    ＩＤ                            1A2B",
        "    光軸数                          3",
        "    光軸ピッチ                      15mm",
        "■出力設定",
        "    OUT2                            OUT1 反転出力",
        "    OUT3                            OUT1 同期出力",
        "■指定光軸（0 : 光軸指定無し，1 : 指定光軸）",
        "    指定光軸　  1～  3              0, 0, 1",
        "",
        "",
    };
    EXPECT_EQ(lines, expected);
}

TEST(ReportBuilder, JoinUsesCrLfBetweenLines) {
    EXPECT_EQ(joinReportLines({"a", "", "b"}), "a\r\n\r\nb");
    EXPECT_EQ(joinReportLines({}), "");
}

// In English the report keeps the Japanese one's lines and columns: every label, longer as
// it is, still leaves its value at byte 36, and no text is left untranslated.
TEST(ReportBuilder, EnglishKeepsTheLinesAndColumns) {
    SettingsData set = twoSensors();
    set.general.pio[0] = "8010";
    set.general.pio[1] = "8050";
    set.channel(0).functionBit2 = 1;
    const ReportLines japanese = build(set, true);
    ReportLines english;
    {
        const test::ScopedLanguage language("en");
        ASSERT_TRUE(language.used()) << "the English catalogue of the build tree is missing";
        english = build(set, true);
    }
    ASSERT_EQ(english.size(), japanese.size());
    EXPECT_EQ(english[0].find("##  Area scanner  controller settings report  ##"), 15u)
        << english[0];
    for (size_t i = 0; i < japanese.size(); ++i) {
        const std::string ja = cp932Bytes(japanese[i]);
        const std::string en = cp932Bytes(english[i]);
        // Only the section mark and the sign of "not applicable" are outside ASCII: the
        // data here is ASCII.
        std::string rest = english[i];
        for (const std::string symbol : {"■", "━"}) {
            for (size_t at = rest.find(symbol); at != std::string::npos; at = rest.find(symbol)) {
                rest.erase(at, symbol.size());
            }
        }
        EXPECT_TRUE(std::all_of(rest.begin(), rest.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x80;
        })) << english[i];
        const bool itemLine = ja.rfind("    ", 0) == 0 && ja.size() > kValueColumn &&
                              ja[kValueColumn - 1] == ' ' && ja[kValueColumn] != ' ';
        if (itemLine) {
            ASSERT_GT(en.size(), kValueColumn) << english[i];
            EXPECT_EQ(en[kValueColumn - 1], ' ') << "label too long: " << english[i];
            EXPECT_NE(en[kValueColumn], ' ') << english[i];
        }
    }
    EXPECT_EQ(valueAtColumn(lineWithLabel(english, "D00")), "Straight Overall ON/OFF Blocked  CH1");
    EXPECT_EQ(valueAtColumn(lineWithLabel(english, "D05")), "Inverted Group 16    Clear");
    EXPECT_EQ(valueAtColumn(lineWithLabel(english, "CH1 overall blocked beams")), "   0");
}

}  // namespace
}  // namespace qavix::report
