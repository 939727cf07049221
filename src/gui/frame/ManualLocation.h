#pragma once
// Where the user's manual is: the HTML page built with the program and installed with it,
// found from the executable's folder so that an installation in any prefix and the build
// tree both work.

#include <string>
#include <vector>

namespace qavix {

// Relative to the folder of the executable.
constexpr const char* kManualRelativePath = "../share/doc/qavix/manual/index.html";
constexpr const char* kManualMissingText =
    "ユーザーズマニュアルが見つかりません。\n次の場所を探しました:\n";

// The places looked at, in order.
std::vector<std::string> manualCandidates(const std::string& executableDir);
// The first candidate that exists; empty when none does.
std::string findManual(const std::vector<std::string>& candidates);
// The message for a manual that is nowhere: names every place looked at.
std::string manualMissingMessage(const std::vector<std::string>& candidates);

}  // namespace qavix
