// The version as the program shows it: `qavix --help` and `--version` are found before
// the application object exists (the file names of --edit and --print-report are never
// read as options), and the about box names the build's version.

#include <gtest/gtest.h>

#include <QAction>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "ProgramVersion.h"
#include "app/CommandLineHelp.h"
#include "frame/CommandIds.h"

namespace qavix {
namespace {

TEST(CommandLineHelp, FindsTheFirstInfoOptionButNotAFileCalledLikeOne) {
    struct Case {
        std::vector<std::string> args;
        InfoRequest expected;
    };
    const std::vector<Case> cases = {
        {{}, InfoRequest::None},
        {{"/ad", "/db"}, InfoRequest::None},
        {{"--help"}, InfoRequest::Help},
        {{"-h"}, InfoRequest::Help},
        {{"--version"}, InfoRequest::Version},
        {{"/ad", "--version", "--help"}, InfoRequest::Version},
        {{"--help", "--version"}, InfoRequest::Help},
        {{"--edit", "--help"}, InfoRequest::None},
        {{"--edit", "--version", "--help"}, InfoRequest::Help},
        {{"--print-report", "--version"}, InfoRequest::None},
        {{"--edit=--help"}, InfoRequest::None},
        {{"--helpful"}, InfoRequest::None},
        {{"-help"}, InfoRequest::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(infoRequest(c.args), c.expected) << ::testing::PrintToString(c.args);
    }
}

TEST(ProgramVersion, TheAboutBoxShowsTheBuildsVersion) {
    test::FrameFixture f;
    auto frame = f.makeFrame();
    frame->show();
    test::settle();
    test::ModalAnswerer answers;
    frame->action(kCmdAbout)->trigger();
    ASSERT_EQ(answers.texts().size(), 1u);
    const std::string version = programVersion();
    ASSERT_FALSE(version.empty());
    EXPECT_NE(answers.texts()[0].find("Qavix Version " + version + "\n"), std::string::npos)
        << answers.texts()[0];
}

}  // namespace
}  // namespace qavix
