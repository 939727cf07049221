// `qavix --help` and `--version` are found before the application object exists; the
// file names of --edit and --print-report are never read as options.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLineHelp.h"

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

}  // namespace
}  // namespace qavix
