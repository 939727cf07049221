#include "files/EnvironmentItems.h"

#include <algorithm>
#include <cstdlib>

namespace qavix::env {

namespace {

constexpr const char* kBlankingChoices = "グラフ|リスト|";
constexpr const char* kSplashChoices = "非表示|表示|";
constexpr const char* kBrowserChoices = "禁止|許可|";
constexpr const char* kAskReasonChoices = "しない|する|";
constexpr const char* kButtonChoices =
    "Normal|Hard bump|Soft bump|Flat|V shade|H shade|Noise|Metal|";

constexpr ItemInfo kItems[kItemCount] = {
    {kTabOperation, "インターバル値", Editor::Text, "", "200"},
    {kTabOperation, "ブランキング表示", Editor::Choice, kBlankingChoices, "グラフ"},
    {kTabColour, "受光レベル入光", Editor::Colour, "", "RGB(30,200,30)"},
    {kTabColour, "受光レベル不安定", Editor::Colour, "", "RGB(240,240,0)"},
    {kTabColour, "受光レベル遮光", Editor::Colour, "", "RGB(255,50,50)"},
    {kTabColour, "受光レベルブランキング", Editor::Colour, "", "RGB(128,128,128)"},
    {kTabColour, "ブランキング背景", Editor::Colour, "", "RGB(192,192,192)"},
    {kTabColour, "ON しきい値", Editor::Colour, "", "RGB(20,20,255)"},
    {kTabColour, "OFFしきい値", Editor::Colour, "", "RGB(255,0,0)"},
    {kTabColour, "スキャンモニタON", Editor::Colour, "", "RGB(0,255,0)"},
    {kTabColour, "スキャンモニタOFF", Editor::Colour, "", "RGB(128,128,128)"},
    {kTabOther, "スプラッシュ表示", Editor::Choice, kSplashChoices, "表示"},
    {kTabOther, "Webリンク機能", Editor::Choice, kBrowserChoices, "許可"},
    {kTabOther, "ボタンスタイル", Editor::Choice, kButtonChoices, "Normal"},
    {kTabOperation, "書込み時に変更理由を入力", Editor::Choice, kAskReasonChoices, "しない"},
};

constexpr size_t kRgbNumbersStart = 4;  // after "RGB("
constexpr int kMaxComponent = 255;

int componentOf(std::string_view part) {
    const std::string text(part);
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, 0, kMaxComponent));
}

std::string choiceAt(const char* choices, int index) {
    const std::vector<std::string> all = splitChoices(choices);
    return index >= 0 && index < static_cast<int>(all.size()) ? all[static_cast<size_t>(index)]
                                                              : std::string();
}

int choiceIndex(const char* choices, const std::string& text) {
    const std::vector<std::string> all = splitChoices(choices);
    const auto it = std::find(all.begin(), all.end(), text);
    return it == all.end() ? -1 : static_cast<int>(it - all.begin());
}

// Reads a whole decimal number; false for anything else, so "1e3" or "" is out of range.
bool parseInterval(const std::string& text, int& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || v < kIntervalMin || v > kIntervalMax) {
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

}  // namespace

const char* const kRangeMessage = "指定範囲が異常です\n\n";

const ItemInfo& itemInfo(int item) {
    return kItems[item];
}

std::vector<int> itemsOfTab(Tab tab) {
    std::vector<int> items;
    for (int i = 0; i < kItemCount; ++i) {
        if (kItems[i].tab == tab) {
            items.push_back(i);
        }
    }
    return items;
}

std::vector<std::string> splitChoices(std::string_view choices) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < choices.size()) {
        const size_t bar = choices.find('|', start);
        const size_t end = bar == std::string_view::npos ? choices.size() : bar;
        out.emplace_back(choices.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

ColorIndex colourOfItem(int item) {
    return static_cast<ColorIndex>(item - kItemFirstColour);
}

std::string formatRgb(ColorValue colour) {
    return "RGB(" + std::to_string(redOf(colour)) + "," + std::to_string(greenOf(colour)) + "," +
           std::to_string(blueOf(colour)) + ")";
}

ColorValue parseRgb(std::string_view text) {
    if (text.find("RGB") == std::string_view::npos) {
        return kColourWithoutRgb;
    }
    const std::string_view numbers =
        text.size() > kRgbNumbersStart ? text.substr(kRgbNumbersStart) : std::string_view();
    const size_t first = numbers.find(',');
    const size_t second = first == std::string_view::npos ? first : numbers.find(',', first + 1);
    const std::string_view red = numbers.substr(0, first);
    const std::string_view green = first == std::string_view::npos
                                       ? std::string_view()
                                       : numbers.substr(first + 1, second - first - 1);
    std::string_view blue =
        second == std::string_view::npos ? std::string_view() : numbers.substr(second + 1);
    blue = blue.substr(0, blue.find(')'));
    return makeColor(componentOf(red), componentOf(green), componentOf(blue));
}

ValueTexts valueTexts(const AppSettings& s) {
    ValueTexts t;
    t[kItemInterval] = std::to_string(s.interval);
    t[kItemBlanking] = choiceAt(kBlankingChoices, s.blanking == 1 ? 1 : 0);
    for (int i = kItemFirstColour; i <= kItemLastColour; ++i) {
        t[static_cast<size_t>(i)] = formatRgb(s.colors[colourOfItem(i)]);
    }
    t[kItemSplash] = choiceAt(kSplashChoices, s.splash != 0 ? 1 : 0);
    t[kItemBrowser] = choiceAt(kBrowserChoices, s.browser != 0 ? 1 : 0);
    // A style number the list does not know shows as the first style.
    const std::string style = choiceAt(kButtonChoices, s.button);
    t[kItemButton] = style.empty() ? choiceAt(kButtonChoices, 0) : style;
    t[kItemAskReason] = choiceAt(kAskReasonChoices, s.journal.askReason ? 1 : 0);
    return t;
}

void resetTab(ValueTexts& texts, Tab tab) {
    for (int i : itemsOfTab(tab)) {
        texts[static_cast<size_t>(i)] = kItems[i].defaultText;
    }
}

StoreResult storeTexts(const ValueTexts& t, AppSettings& s) {
    int interval = 0;
    if (!parseInterval(t[kItemInterval], interval)) {
        return StoreResult{false, std::string(kRangeMessage) + kItems[kItemInterval].name};
    }
    s.interval = interval;
    s.blanking = t[kItemBlanking] == choiceAt(kBlankingChoices, 0) ? 0 : 1;
    for (int i = kItemFirstColour; i <= kItemLastColour; ++i) {
        s.colors[colourOfItem(i)] = parseRgb(t[static_cast<size_t>(i)]);
    }
    s.splash = t[kItemSplash] == choiceAt(kSplashChoices, 1) ? 1 : 0;
    s.browser = t[kItemBrowser] == choiceAt(kBrowserChoices, 1) ? 1 : 0;
    const int style = choiceIndex(kButtonChoices, t[kItemButton]);
    if (style >= 0) {
        s.button = style;
    }
    s.journal.askReason = t[kItemAskReason] == choiceAt(kAskReasonChoices, 1);
    return StoreResult{};
}

}  // namespace qavix::env
