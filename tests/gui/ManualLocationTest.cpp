#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "GuiTestSupport.h"
#include "TempDir.h"
#include "frame/CMainFrame.h"
#include "frame/ManualLocation.h"

namespace qavix::test {
namespace {

namespace fs = std::filesystem;

TEST(ManualLocation, FoundBesideAnInstalledProgramOrNamedWhereLookedFor) {
    const TempDir tmp;
    const fs::path& root = tmp.path();
    fs::create_directories(root / "bin");
    const auto places = manualCandidates((root / "bin").string());
    ASSERT_FALSE(places.empty());
    EXPECT_EQ(places.front(), (root / "share/doc/qavix/manual/index.html").string());
    EXPECT_EQ(places.back(), "/usr/share/doc/qavix/manual/index.html");

    // Missing (in a tree without it, and unless installed system-wide): every place named.
    if (findManual(places).empty()) {
        const std::string message = manualMissingMessage(places);
        for (const std::string& p : places) {
            EXPECT_NE(message.find(p), std::string::npos) << message;
        }
    }
    fs::create_directories(root / "share/doc/qavix/manual");
    std::ofstream(root / "share/doc/qavix/manual/index.html") << "<html></html>";
    EXPECT_EQ(findManual(places), places.front());
}

TEST(ManualLocation, HelpAndManualOpenTheBuiltManual) {
    const auto places = manualCandidates(QCoreApplication::applicationDirPath().toStdString());
    if (findManual(places).empty()) {
        GTEST_SKIP() << "the manual was not built (markdown_py missing)";
    }
    FrameFixture f;
    auto frame = f.makeFrame();
    std::vector<QUrl> opened;
    frame->setUrlOpener([&](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    frame->openManual();
    frame->openHelp();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_TRUE(opened[0].isLocalFile());
    EXPECT_TRUE(opened[0].toLocalFile().endsWith("share/doc/qavix/manual/index.html"));
    QFile page(opened[0].toLocalFile());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    EXPECT_TRUE(html.contains("<h2 id=\"ports\">")) << "the Markdown became HTML";
    EXPECT_TRUE(html.contains("dialout"));
}

}  // namespace
}  // namespace qavix::test
