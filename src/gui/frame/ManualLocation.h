#pragma once
// Where the user's manual is: the HTML page built with the program and installed with it,
// found from the executable's folder so that an installation in any prefix and the build
// tree both work. The Japanese manual is at the top of the manual's folder, a translation in
// a folder named after its language (manual/en/index.html).

#include <QtGlobal>
#include <string>
#include <vector>

namespace qavix {

// Relative to the folder of the executable.
constexpr const char* kManualRelativeFolder = "../share/doc/qavix/manual";
constexpr const char* kManualMissingText = QT_TRANSLATE_NOOP(
    "qavix::ManualLocation", "ユーザーズマニュアルが見つかりません。\n次の場所を探しました:\n");

// The places looked at, in order: the manual of `language` ("ja", "en"), then, for a
// translation, the Japanese one, which every installation has.
std::vector<std::string> manualCandidates(const std::string& executableDir,
                                          const std::string& language = "ja");
// The first candidate that exists; empty when none does.
std::string findManual(const std::vector<std::string>& candidates);
// The message for a manual that is nowhere: names every place looked at.
std::string manualMissingMessage(const std::vector<std::string>& candidates);

}  // namespace qavix
