#pragma once
// The plant view's words, shared by the window and qavixctl plant status: what a row's
// severity and reasons are called, ages, margins, the summary, and how a name or text from
// the broker is shown. Anyone may publish on a broker: what comes from there is shown with
// its control characters and direction marks written out and cut to a readable length,
// so that it can neither hide nor reorder what stands beside it.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "plant/PlantConnection.h"
#include "plant/PlantHealth.h"
#include "plant/PlantMessages.h"

namespace qavix::plant {

// Texts from the broker are cut to this many characters (a monitor's are far shorter).
constexpr size_t kMaxShownCharacters = 120;

std::string shownText(std::string_view text);

const char* severityText(Severity severity);
std::string reasonText(Reason reason, const PlantRow& row);
// Every reason, worst first, separated by " / "; "正常" for none.
std::string reasonsText(const PlantRow& row, std::time_t now);

// "12 秒前", "3 分前", "2 時間前", "4 日前"; "—" when unknown.
std::string ageText(std::optional<std::time_t> when, std::time_t now);
const char* lineText(telemetry::LineState line);
// "CH1 112.0 % (光軸 5)"; "CH1 —" without a margin.
std::string marginText(int channel, const SensorMarginView& sensor);
std::string alertText(const AlertMessage& alert);
std::string errorEntryText(const ErrorEntryMessage& entry);
// The controller's state and error, as its status names them.
std::string controllerStateText(const StatusMessage& status);
// "COM1 → tcp:127.0.0.1:4001 / ユニット 0".
std::string portText(const StatusMessage& status);

// How the broker connection fares, in the operator's words: connecting, connected, the
// broker down or refusing the login (with its own words and the next attempt), or no
// monitor publishing under `root`.
std::string connectionText(const PlantConnection& connection, const std::string& root);

// "42 台 / オフライン 2 / 注意 3".
std::string summaryText(const PlantSummary& summary);

}  // namespace qavix::plant
