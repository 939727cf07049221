// Saving the report: Shift-JIS bytes with CR LF, replacing the target only when complete.

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "FileText.h"
#include "TempDir.h"
#include "report/ReportExport.h"
#include "report/SettingsReport.h"

namespace qavix::report {
namespace {

namespace fs = std::filesystem;

class ReportExport : public ::testing::Test {
  protected:
    static std::string readBytes(const fs::path& path) { return test::readBytes(path.string()); }
    size_t entries() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(m_dir), {}));
    }

    const test::TempDir m_tmp;
    const fs::path m_dir = m_tmp.path();
};

TEST_F(ReportExport, FileHoldsTheTextInShiftJisWithCrLf) {
    const std::string text = joinReportLines({"■ 基本情報", "    ＩＤ  00ABCD", "", "end"});
    const fs::path path = m_dir / "REPORT.TXT";
    std::string error;
    ASSERT_TRUE(exportReportText(path.string(), text, error)) << error;
    // ■ 81A1, space, 基 8AEE, 本 967B, 情 8FEE, 報 95F1; Ｉ 8268, Ｄ 8263.
    const std::string expected =
        "\x81\xA1 \x8A\xEE\x96\x7B\x8F\xEE\x95\xF1\r\n"
        "    \x82\x68\x82\x63  00ABCD\r\n"
        "\r\n"
        "end";
    EXPECT_EQ(readBytes(path), expected);
    EXPECT_EQ(entries(), 1u);  // no temporary file left behind
}

TEST_F(ReportExport, WholeReportRoundTripsByteForByte) {
    SettingsData s;
    s.general.jointNum = 1;
    s.general.serialText = "020B002A";
    s.channel(0).beamCount = 24;
    std::tm now{};
    now.tm_year = 124;
    now.tm_mday = 1;
    const ReportLines lines = buildSettingsReport(s, defaultReportSelection(1), true, now);
    const std::string text = joinReportLines(lines);
    const fs::path path = m_dir / "all.txt";
    std::string error;
    ASSERT_TRUE(exportReportText(path.string(), text, error)) << error;
    const std::string bytes = readBytes(path);
    // Back from Shift-JIS it is the very text, with a CR LF for every line break.
    size_t crlf = 0;
    for (size_t pos = bytes.find("\r\n"); pos != std::string::npos;
         pos = bytes.find("\r\n", pos + 2)) {
        ++crlf;
    }
    EXPECT_EQ(crlf, lines.size() - 1);
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos);
    EXPECT_EQ(bytes.substr(0, 17), std::string(15, ' ') + "\x81\x94");  // ＃
}

TEST_F(ReportExport, MissingFolderFails) {
    std::string error;
    EXPECT_FALSE(exportReportText((m_dir / "no" / "r.txt").string(), "x", error));
    EXPECT_NE(error.find("r.txt"), std::string::npos);
}

}  // namespace
}  // namespace qavix::report
