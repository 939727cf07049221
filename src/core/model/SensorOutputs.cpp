#include "model/SensorOutputs.h"

#include <array>

#include "Translate.h"

namespace qavix {

namespace {

constexpr int kNotOffered = -1;

struct SensorOutput {
    int32_t code;
    const char* reportName;
    int choiceIndex;         // place in the page's lists, or kNotOffered
    const char* choiceName;  // the page's wording, with its full-width spaces
};

// Codes 1 to 8 run in order; the inverted OUT1 is 0x0F and the test-line and
// blanking-setting outputs follow it. The page lists the functions an operator sets on
// site; the others are shown only by the report.
constexpr std::array<SensorOutput, 12> kOutputs = {{
    {0x01, N_("OUT1 同期出力"), 0, N_("OUT1　同期出力")},
    {0x02, N_("最端光軸出力"), 4, N_("両端光軸遮光時出力")},
    {0x03, N_("ロックアウト出力"), 3, N_("ロックアウト時出力")},
    {0x04, N_("光量診断出力"), 2, N_("光量診断出力")},
    {kDesignatedBeamOutput, N_("指定光軸出力"), 6, N_("指定光軸出力")},
    {0x06, N_("通電時間出力"), kNotOffered, nullptr},
    {0x07, N_("ブランキング出力"), 5, N_("ブランキング出力")},
    {0x08, N_("負荷開閉回数出力"), kNotOffered, nullptr},
    {0x0F, N_("OUT1 反転出力"), 1, N_("OUT1　反転出力")},
    {0x10, N_("テスト入力線出力"), kNotOffered, nullptr},
    {0x11, N_("テスト入力線反転出力"), kNotOffered, nullptr},
    {0x12, N_("ブランキング設定時出力"), kNotOffered, nullptr},
}};

std::vector<SensorOutputChoice> makeChoices() {
    std::vector<SensorOutputChoice> choices;
    for (int index = 0;; ++index) {
        bool found = false;
        for (const SensorOutput& o : kOutputs) {
            if (o.choiceIndex == index) {
                choices.push_back({o.code, o.choiceName});
                found = true;
            }
        }
        if (!found) {
            return choices;
        }
    }
}

}  // namespace

std::string sensorOutputName(int32_t code) {
    for (const SensorOutput& entry : kOutputs) {
        if (entry.code == code) {
            return i18n::translate(entry.reportName);
        }
    }
    return QX_("該当無");
}

const std::vector<SensorOutputChoice>& sensorOutputChoices() {
    static const std::vector<SensorOutputChoice> choices = makeChoices();
    return choices;
}

int sensorOutputChoiceIndex(int32_t code) {
    const std::vector<SensorOutputChoice>& choices = sensorOutputChoices();
    for (size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].code == code) {
            return static_cast<int>(i);
        }
    }
    return kNotOffered;
}

}  // namespace qavix
