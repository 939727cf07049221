#include "plant/PlantText.h"

#include <cstdio>

#include "IniText.h"
#include "Translate.h"
#include "Utf8.h"

namespace qavix::plant {

namespace {

constexpr std::time_t kMinute = 60;
constexpr std::time_t kHour = 60 * kMinute;
constexpr std::time_t kDay = 24 * kHour;

// Code points that change the direction of the text around them (bidirectional marks,
// embeddings, overrides and isolates) or are invisible joiners of no use in a name.
bool isDirectionMark(char32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

char32_t codePointAt(std::string_view text, size_t at, size_t length) {
    const auto b = [&](size_t k) {
        return static_cast<char32_t>(static_cast<unsigned char>(text[at + k]));
    };
    switch (length) {
        case 1:
            return b(0);
        case 2:
            return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
        case 3:
            return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
        default:
            return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) |
                   (b(3) & 0x3F);
    }
}

std::string percentText(double percent) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f %%", percent);
    return buffer;
}

}  // namespace

std::string shownText(std::string_view text) {
    // Control characters and bytes that are no UTF-8 by the one rule of messages; the
    // direction marks, which that rule lets through for a terminal's sake, here too.
    const std::string printable = ini::printable(text);
    std::string out;
    size_t characters = 0;
    for (size_t i = 0; i < printable.size();) {
        const size_t length = std::max<size_t>(1, utf8::sequenceLength(printable, i));
        if (characters == kMaxShownCharacters) {
            out += "…";
            break;
        }
        const char32_t c = codePointAt(printable, i, length);
        if (isDirectionMark(c)) {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
            out += buffer;
        } else {
            out.append(printable, i, length);
        }
        ++characters;
        i += length;
    }
    return out;
}

const char* severityText(Severity severity) {
    switch (severity) {
        case Severity::Ok:
            return QX_("正常");
        case Severity::Attention:
            return QX_("注意");
        case Severity::Fault:
            return QX_("異常");
        case Severity::Offline:
            return QX_("オフライン");
    }
    return QX_("注意");
}

std::string reasonText(Reason reason, const PlantRow& row) {
    switch (reason) {
        case Reason::Offline:
            return QX_("オフライン");
        case Reason::LineLost:
            return QX_("回線切断");
        case Reason::NoAnswer:
            return QX_("コントローラ応答なし");
        case Reason::ReadFailed:
            return QX_("読込み失敗");
        case Reason::ControllerError:
        case Reason::Abnormal:
            return row.status ? controllerStateText(*row.status) : QX_("エラー状態");
        case Reason::Stale:
            return QX_("更新なし");
        case Reason::LineBusy:
            return QX_("ポート使用中");
        case Reason::SettingMode:
            return QX_("設定モード");
        case Reason::FactoryMode:
            return QX_("工場モード");
        case Reason::MarginLow: {
            std::string channels;
            for (int c = 0; c < kPlantChannels; ++c) {
                if (row.sensors[static_cast<size_t>(c)].marginLow) {
                    channels += " CH" + std::to_string(c + 1);
                }
            }
            return i18n::fill(QX_("マージン低下%1"), {channels});
        }
        case Reason::WentOffline:
            return QX_("オフラインになった (未確認)");
        case Reason::NewError:
            return QX_("新しいエラー履歴 (未確認)");
        case Reason::NoStatus:
            return QX_("状態未受信");
    }
    return {};
}

std::string reasonsText(const PlantRow& row, std::time_t now) {
    const auto reasons = reasonsOf(row, now);
    if (reasons.empty()) {
        return severityText(Severity::Ok);
    }
    std::string text;
    for (const Reason r : reasons) {
        text += (text.empty() ? "" : " / ") + reasonText(r, row);
    }
    return text;
}

std::string ageText(std::optional<std::time_t> when, std::time_t now) {
    if (!when) {
        return "—";
    }
    const std::time_t age = now > *when ? now - *when : 0;
    if (age < kMinute) {
        return i18n::fill(QX_("%1 秒前"), {std::to_string(age)});
    }
    if (age < kHour) {
        return i18n::fill(QX_("%1 分前"), {std::to_string(age / kMinute)});
    }
    if (age < kDay) {
        return i18n::fill(QX_("%1 時間前"), {std::to_string(age / kHour)});
    }
    return i18n::fill(QX_("%1 日前"), {std::to_string(age / kDay)});
}

const char* lineText(telemetry::LineState line) {
    switch (line) {
        case telemetry::LineState::Ok:
            return QX_("正常");
        case telemetry::LineState::Busy:
            return QX_("使用中");
        case telemetry::LineState::Lost:
            return QX_("切断");
        case telemetry::LineState::NoAnswer:
            return QX_("応答なし");
    }
    return QX_("切断");
}

std::string marginText(int channel, const SensorMarginView& sensor) {
    std::string text = "CH" + std::to_string(channel) + " ";
    if (!sensor.margin) {
        return text + "—";
    }
    return text + i18n::fill(QX_("%1 (光軸 %2)"), {percentText(sensor.margin->percent),
                                                   std::to_string(sensor.margin->beam)});
}

std::string alertText(const AlertMessage& alert) {
    return i18n::fill(
        alert.low ? QX_("マージン低下 CH%1 光軸 %2 %3") : QX_("マージン回復 CH%1 光軸 %2 %3"),
        {std::to_string(alert.channel), std::to_string(alert.beam), percentText(alert.margin)});
}

std::string errorEntryText(const ErrorEntryMessage& entry) {
    std::string text = shownText(entry.number);
    if (!entry.text.empty()) {
        text += (text.empty() ? "" : " ") + shownText(entry.text);
    }
    if (!entry.dateText.empty()) {
        text += " (" + shownText(entry.dateText) + ")";
    }
    return text;
}

std::string controllerStateText(const StatusMessage& status) {
    std::string text = shownText(status.stateText);
    if (status.error) {
        text += (text.empty() ? "" : ": ") + shownText(status.error->number) + " " +
                shownText(status.error->text);
    }
    return text.empty() ? "—" : text;
}

std::string portText(const StatusMessage& status) {
    std::string text = shownText(status.port);
    if (!status.target.empty()) {
        text += " → " + shownText(status.target);
    }
    return text + i18n::fill(QX_(" / ユニット %1"), {std::to_string(status.unit)});
}

std::string connectionText(const PlantConnection& c, const std::string& root) {
    using Phase = broker::BrokerState::Phase;
    const std::string why = c.state.reason.empty() ? "" : " (" + shownText(c.state.reason) + ")";
    const auto seconds = (c.state.retryIn.count() + 999) / 1000;
    const std::string retry =
        seconds > 0 ? i18n::fill(QX_("。%1 秒後に再接続します"), {std::to_string(seconds)})
                    : std::string();
    switch (c.state.phase) {
        case Phase::Connecting:
            return QX_("ブローカーに接続しています…");
        case Phase::Connected:
            return QX_("ブローカーに接続しました。購読を待っています…");
        case Phase::Subscribed:
            return c.noTopics ? i18n::fill(QX_("ブローカーに %1/ のトピックがありません (モニタが"
                                               "動いていません)"),
                                           {shownText(root)})
                              : QX_("ブローカーに接続中");
        case Phase::Unreachable:
            return QX_("ブローカーに接続できません") + why + retry;
        case Phase::Refused:
            return QX_("ブローカーが接続を拒否しました") + why + retry;
        case Phase::Lost:
            return QX_("ブローカーとの接続が切れました") + why + retry;
    }
    return {};
}

std::string summaryText(const PlantSummary& summary) {
    return i18n::fill(QXN_("%1 台 / オフライン %2 / 注意 %3", "%1 台 / オフライン %2 / 注意 %3",
                           summary.controllers),
                      {std::to_string(summary.controllers), std::to_string(summary.offline),
                       std::to_string(summary.attention)});
}

}  // namespace qavix::plant
