#include "model/ErrorLog.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdio>
#include <cstring>

#include "Translate.h"
#include "model/ClockText.h"
#include "model/HexText.h"
#include "model/SerialNumber.h"

namespace qavix {

namespace {

struct CodeRange {
    int first;
    int last;
    const char* text;
};

constexpr const char* kSensorCircuit = N_("センサ内部回路異常");
constexpr const char* kWiring = N_("配線異常");
constexpr const char* kSeriesPartner = N_("直列連結相手が異常");
constexpr const char* kCommunication = N_("通信エラー");
constexpr const char* kSetting = N_("設定エラー");

constexpr CodeRange kCodeTable[] = {
    {0x20, 0x34, kSensorCircuit},
    {0x35, 0x38, kWiring},
    {0x39, 0x3A, kSensorCircuit},
    {0x41, 0x42, kWiring},
    {0x60, 0x71, kSensorCircuit},
    {0xA0, 0xA0, kSeriesPartner},
    {0xA1, 0xA1, N_("相手センサの形式が異常")},
    {0xA2, 0xA2, N_("相互干渉エラー")},
    {0xA3, 0xA3, N_("外部リレーモニタエラー")},
    {0xA4, 0xA5, kSeriesPartner},
    {0xA6, 0xA6, kSensorCircuit},
    {0xA7, 0xA7, kCommunication},
    {0xA8, 0xA8, kWiring},
    {0xA9, 0xA9, N_("センサ設定異常")},
    {0xAA, 0xAA, kWiring},
    {0xAB, 0xAB, N_("センサ内部処理エラー")},
    {0xC0, 0xC2, kCommunication},
    {0xC3, 0xC4, N_("SW変更")},
    {0xC5, 0xC5, N_("接続センサ形式異常")},
    {0xC6, 0xC6, N_("センサ接続異常")},
    {0xC7, 0xC7, N_("コントローラ内部異常")},
    {0xC8, 0xCC, kSetting},
    {0xCD, 0xCD, N_("バッテリーロー")},
    {0xCE, 0xCE, kSetting},
    {0xCF, 0xCF, N_("Bank 設定エラー")},
    {0xD0, 0xD0, N_("Bank メモリエラー")},
    {0xD1, 0xD1, N_("Bank 設定値エラー")},
    {0xD2, 0xD2, N_("Bank No.設定エラー")},
    {0xD3, 0xD3, N_("センサ接続異常")},
    {0xD4, 0xD4, N_("しきい値設定エラー")},
};

bool isUtf8Codeset(const char* codeset) {
    return codeset != nullptr &&
           (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

// A locale without a language: its abbreviations are the C ones, English.
bool isLanguageNeutral(const char* name) {
    return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
           std::strncmp(name, "C.", 2) == 0;
}

}  // namespace

const WeekdayNames& japaneseWeekdays() {
    static const WeekdayNames names = {"日", "月", "火", "水", "木", "金", "土"};
    return names;
}

WeekdayNames weekdaysOfLocale(const char* name) {
    const locale_t loc = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, name, static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) {
        return japaneseWeekdays();
    }
    WeekdayNames names = japaneseWeekdays();
    const char* resolved = nl_langinfo_l(_NL_LOCALE_NAME(LC_TIME), loc);
    if (!isLanguageNeutral(resolved) && isUtf8Codeset(nl_langinfo_l(CODESET, loc))) {
        for (int d = 0; d < 7; ++d) {
            names[static_cast<size_t>(d)] = nl_langinfo_l(static_cast<nl_item>(ABDAY_1 + d), loc);
        }
    }
    freelocale(loc);
    return names;
}

WeekdayNames systemWeekdays() {
    return weekdaysOfLocale("");
}

std::string errorLogText(int code) {
    for (const CodeRange& r : kCodeTable) {
        if (code >= r.first && code <= r.last) {
            return r.text;
        }
    }
    return kNoValue;
}

int parseErrorCode(std::string_view codeText) {
    return hex::parseHex(codeText, 4).value_or(-1);
}

std::string formatErrorDate(const ErrorHistoryEntry& e, const WeekdayNames& weekdays) {
    if (!e.hasDate()) {
        return kNoValue;
    }
    const int year = e.year + 2000;
    const char* day = (e.month >= 1 && e.month <= 12 && e.day >= 1 && e.day <= 31)
                          ? weekdays[static_cast<size_t>(dayOfWeek(year, e.month, e.day))].c_str()
                          : "-";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%02d %s %02d:%02d:%02d", year % 100, e.month, e.day,
                  day, e.hour, e.minute, e.second);
    return buf;
}

ErrorLogRow emptyErrorLogRow(int index) {
    return {std::to_string(index + 1), kNoValue, kNoValue, kNoValue, kNoValue};
}

ErrorLogRow errorLogRow(int index, const ErrorHistoryEntry& entry, const ErrorLogRow& previous,
                        const WeekdayNames& weekdays) {
    if (entry.isEmpty()) {
        return previous;
    }
    const int code = parseErrorCode(entry.codeText);
    ErrorLogRow row;
    row.number = std::to_string(index + 1);
    row.date = formatErrorDate(entry, weekdays);
    row.code = entry.codeText;
    row.text = errorLogText(code);
    row.serial = formatErrorLogSerial(entry.serialText, code);
    return row;
}

ErrorLogRows emptyErrorLogRows() {
    ErrorLogRows rows;
    for (int k = 0; k < kErrorHistoryCount; ++k) {
        rows[static_cast<size_t>(k)] = emptyErrorLogRow(k);
    }
    return rows;
}

ErrorLogRows errorLogRows(const std::array<ErrorHistoryEntry, kErrorHistoryCount>& history,
                          const ErrorLogRows& previous, const WeekdayNames& weekdays) {
    ErrorLogRows rows;
    for (int k = 0; k < kErrorHistoryCount; ++k) {
        const auto i = static_cast<size_t>(k);
        rows[i] = errorLogRow(k, history[i], previous[i], weekdays);
    }
    return rows;
}

std::string errorLogCsvHeader() {
    return "No.,日付,エラーNo.,エラー内容,発生シリアルNo.,\n";
}

std::string errorLogCsvLine(const ErrorLogRow& row) {
    return "No." + row.number + "," + row.date + "," + row.code + "," + row.text + "," +
           row.serial + "\n";
}

std::string errorLogCsv(const ErrorLogRows& rows) {
    std::string text = errorLogCsvHeader();
    for (const ErrorLogRow& row : rows) {
        text += errorLogCsvLine(row);
    }
    return text;
}

}  // namespace qavix
