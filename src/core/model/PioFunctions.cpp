#include "model/PioFunctions.h"

#include "Translate.h"
#include "model/HexText.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "model/Codec.h"

namespace qavix {

namespace {

constexpr size_t kCodeLength = 4;
constexpr int kLastGroupWithPadding = 9;  // one-digit group numbers keep their column

// The names line up in the report's fixed-pitch columns; a translation keeps the columns
// of its own names (the report test holds it to that).
constexpr std::array<const char*, 6> kOverallNames = {
    N_("総合ON/OFF出力 遮光  CH1"), N_("総合ON/OFF出力 入光  CH1"), N_("総合ON/OFF出力 遮光  CH2"),
    N_("総合ON/OFF出力 入光  CH2"), N_("総合ON/OFF出力 遮光  CH3"), N_("総合ON/OFF出力 入光  CH3"),
};

const char* const kUnassigned = N_("未設定");
const char* const kUnknown = N_("該当無");

std::string groupName(int index, bool incident) {
    const int group = index + 1;
    const char* pattern = nullptr;
    if (group <= kLastGroupWithPadding) {
        pattern = incident ? QX_("グループ%1   　 入光") : QX_("グループ%1   　 遮光");
    } else {
        pattern = incident ? QX_("グループ%1   　入光") : QX_("グループ%1   　遮光");
    }
    return i18n::fill(pattern, {std::to_string(group)});
}

std::string parallelName(int output, int bit) {
    return i18n::fill(QX_("パラレル出力%1   －   %2bit"),
                      {std::to_string(output), std::to_string(bit)});
}

}  // namespace

std::string pioFunctionName(std::string_view code) {
    if (code.empty()) {
        return i18n::translate(kUnassigned);
    }
    if (code.size() < kCodeLength) {
        return i18n::translate(kUnknown);
    }
    const int lead = hex::readHex(code, 0, 1).value_or(-1);
    const int kind = hex::readDecimal(code, 2, 1).value_or(-1);
    const int index = hex::readHex(code, 3, 1).value_or(-1);
    if (lead == 0 || kind == kKindUnassigned) {
        return i18n::translate(kUnassigned);
    }
    if (lead < 0 || kind < 0 || index < 0) {
        return i18n::translate(kUnknown);
    }
    switch (kind) {
        case kKindOverall:
            return i18n::translate(index < static_cast<int>(kOverallNames.size())
                                       ? kOverallNames[static_cast<size_t>(index)]
                                       : kUnknown);
        case kKindGroupBlocked:
            return groupName(index, false);
        case kKindGroupIncident:
            return groupName(index, true);
        case kKindParallel1:
            return parallelName(1, index);
        case kKindParallel2:
            return parallelName(2, index);
        default:
            return i18n::translate(kUnknown);
    }
}

namespace {

constexpr char kUnassignedCode[] = "8000";
constexpr char kNoCode[] = "0000";

constexpr std::array<const char*, kPioFunctionCount> kFunctionTexts = {
    N_("未設定"), N_("総合ON/OFF出力"), N_("グループ"), N_("パラレル出力 1"), N_("パラレル出力 2"),
};
constexpr std::array<const char*, 3> kJudgementTexts = {"-", N_("遮光"), N_("入光")};
constexpr std::array<const char*, 2> kInversionTexts = {N_("無効"), N_("有効")};

int numberCount(int function) {
    switch (function) {
        case kPioOverall:
            return kPioChannelNumbers;
        case kPioGroup:
            return kPioGroupNumbers;
        case kPioParallel1:
        case kPioParallel2:
            return kPioBitNumbers;
        default:
            return 0;
    }
}

std::vector<int> oneTo(int last) {
    std::vector<int> v;
    for (int i = 1; i <= last; ++i) {
        v.push_back(i);
    }
    return v;
}

std::string codeWithDigit(const char* head, int digit) {
    // One hexadecimal digit: a code never grows past its four characters.
    char buf[16];
    std::snprintf(buf, sizeof buf, "%s%X", head, static_cast<unsigned>(digit) & 0xFU);
    return buf;
}

}  // namespace

std::optional<PioAssignment> pioAssignmentOfCode(std::string_view code) {
    const std::string c = code.empty() ? std::string(kNoCode) : std::string(code);
    const std::optional<int32_t> kind = hex::readDecimal(c, 2, 1);
    const std::optional<int32_t> x = hex::readHex(c, 3, 1);
    if (!kind || !x) {
        return std::nullopt;
    }
    PioAssignment a;
    switch (*kind) {
        case kKindUnassigned:
            return a;
        case kKindOverall:
            a.function = kPioOverall;
            a.number = std::min(*x / 2 + 1, kPioChannelNumbers);
            a.judgement = *x % 2 == 0 ? kPioBlocked : kPioIncident;
            return a;
        case kKindGroupBlocked:
        case kKindGroupIncident:
            a.function = kPioGroup;
            a.judgement = *kind == kKindGroupBlocked ? kPioBlocked : kPioIncident;
            a.number = *x + 1;
            return a;
        case kKindParallel1:
        case kKindParallel2:
            a.function = *kind == kKindParallel1 ? kPioParallel1 : kPioParallel2;
            a.number = *x + 1;
            return a;
        default:
            return std::nullopt;
    }
}

std::string pioCode(const PioAssignment& a) {
    const int index = std::max(a.number, 1) - 1;
    switch (a.function) {
        case kPioUnassigned:
            return kUnassignedCode;
        case kPioOverall: {
            const bool known = a.number >= 1 && a.number <= kPioChannelNumbers &&
                               (a.judgement == kPioBlocked || a.judgement == kPioIncident);
            // An incomplete overall output falls back to CH1 dark-on, the controller's first.
            const int x = known ? 2 * index + (a.judgement == kPioIncident ? 1 : 0) : 0;
            return codeWithDigit("801", x);
        }
        case kPioGroup:
            return codeWithDigit(a.judgement == kPioIncident ? "804" : "803", index);
        case kPioParallel1:
            return codeWithDigit("805", index);
        case kPioParallel2:
            return codeWithDigit("806", index);
        default:
            return kNoCode;
    }
}

PioAssignment pioFunctionDefaults(int function) {
    PioAssignment a;
    a.function = function;
    switch (function) {
        case kPioOverall:
        case kPioGroup:
            a.judgement = kPioBlocked;
            a.number = 1;
            break;
        case kPioParallel1:
        case kPioParallel2:
            a.number = 1;
            break;
        default:
            a.function = kPioUnassigned;
            break;
    }
    return a;
}

PioTable pioTableOf(const GeneralBlock& general) {
    PioTable table;
    for (size_t i = 0; i < table.size(); ++i) {
        table[i].assignment = pioAssignmentOfCode(general.pio[i]).value_or(PioAssignment{});
        table[i].inversion = general.pioInv[i] == 1 ? 1 : 0;
    }
    return table;
}

std::string pioPortName(int terminal) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "D%02d", terminal);
    return buf;
}

const char* pioFunctionText(int function) {
    return i18n::translate(function >= 0 && function < kPioFunctionCount
                               ? kFunctionTexts[static_cast<size_t>(function)]
                               : kFunctionTexts[kPioUnassigned]);
}

const char* pioJudgementText(int judgement) {
    return i18n::translate(judgement >= 0 && judgement < static_cast<int>(kJudgementTexts.size())
                               ? kJudgementTexts[static_cast<size_t>(judgement)]
                               : kJudgementTexts[kPioNoJudgement]);
}

std::string pioNumberText(int function, int number) {
    if (number < 1 || number > numberCount(function)) {
        return "-";
    }
    char buf[16];
    switch (function) {
        case kPioOverall:
            std::snprintf(buf, sizeof buf, "CH%d", number);
            break;
        case kPioGroup:
            std::snprintf(buf, sizeof buf, "Gr.%d", number);
            break;
        default:
            std::snprintf(buf, sizeof buf, "%dbit", number - 1);
            break;
    }
    return buf;
}

const char* pioInversionText(int inversion) {
    return i18n::translate(kInversionTexts[inversion == 1 ? 1 : 0]);
}

std::vector<int> pioFunctionChoices(const GeneralBlock& general) {
    std::vector<int> choices = {kPioUnassigned};
    if (general.allOnOffCnf != 0) {
        choices.push_back(kPioOverall);
    }
    if (general.grpCnf != 0) {
        choices.push_back(kPioGroup);
    }
    if (general.paraCnf != 0) {
        choices.push_back(kPioParallel1);
        choices.push_back(kPioParallel2);
    }
    return choices;
}

std::vector<int> pioJudgementChoices(int function) {
    if (function == kPioOverall || function == kPioGroup) {
        return {kPioBlocked, kPioIncident};
    }
    return {};
}

std::vector<int> pioNumberChoices(int function, int jointNum) {
    if (function == kPioOverall) {
        return oneTo(std::clamp(jointNum, 0, kPioChannelNumbers));
    }
    return oneTo(numberCount(function));
}

std::vector<codec::PutRequest> pioPuts(const PioTable& table, const GeneralBlock& stored) {
    const PioTable held = pioTableOf(stored);
    bool assignments = false;
    bool inversions = false;
    SettingsData sent;
    for (size_t i = 0; i < table.size(); ++i) {
        assignments = assignments || table[i].assignment != held[i].assignment;
        inversions = inversions || table[i].inversion != held[i].inversion;
        const bool untouched = table[i].assignment == held[i].assignment;
        sent.general.pio[i] = untouched ? stored.pio[i] : pioCode(table[i].assignment);
        sent.general.pioInv[i] = table[i].inversion;
    }
    std::vector<codec::PutRequest> puts;
    if (assignments) {
        puts.push_back(codec::encodePut(code::kPutPioFunctions, 0, sent));
    }
    if (inversions) {
        puts.push_back(codec::encodePut(code::kPutPioInversion, 0, sent));
    }
    return puts;
}

std::vector<PageRead> pioReads() {
    return {
        // The assignment reads wait as long as any request; the controller answers them at
        // once.
        {code::kReadPioFunctions, 0, 0, kPioCount, kRequestTimeoutMs},
        {code::kReadPioInversion, 0, 0, kPioCount, kRequestTimeoutMs},
        {code::kReadAllOnOffCnf, 0, 0, 1, kRequestTimeoutMs},
        {code::kReadGrpCnf, 0, 0, 1, kRequestTimeoutMs},
        {code::kReadParaCnf, 0, 0, 1, kRequestTimeoutMs},
    };
}

}  // namespace qavix
