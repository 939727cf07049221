#pragma once
// What the environment settings dialog edits: its fifteen items on three tabs, the value
// texts it shows, the defaults of each tab, and how the texts go back into the settings.
// The dialog only shows these texts and hands them back.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "files/AppSettings.h"

namespace qavix::env {

enum Tab : int { kTabOperation = 0, kTabColour = 1, kTabOther = 2, kTabCount = 3 };

enum class Editor { Text, Choice, Colour };

// Items in the order the dialog lists them; the index is the item's identity.
enum Item : int {
    kItemInterval,
    kItemBlanking,
    kItemFirstColour,  // nine colours follow in display-colour order
    kItemLastColour = kItemFirstColour + 8,
    kItemSplash,
    kItemBrowser,
    kItemButton,
    kItemAskReason,  // on the operation tab: whether every write asks for its reason
    kItemCount,
};

struct ItemInfo {
    Tab tab;
    const char* name;
    Editor editor;
    const char* choices;  // "a|b|": every choice followed by "|"; empty for other editors
    const char* defaultText;
};

using ValueTexts = std::array<std::string, kItemCount>;

const ItemInfo& itemInfo(int item);
// The items of one tab, in list order.
std::vector<int> itemsOfTab(Tab tab);
// "グラフ|リスト|" -> {"グラフ", "リスト"}.
std::vector<std::string> splitChoices(std::string_view choices);
// The display colour an item of the colour tab edits.
ColorIndex colourOfItem(int item);

constexpr int kIntervalMin = 100;
constexpr int kIntervalMax = 1000;
extern const char* const kRangeMessage;  // followed by the item name

// What the dialog shows when it opens.
ValueTexts valueTexts(const AppSettings& settings);
// Resets the items of `tab` to their defaults and leaves the others alone.
void resetTab(ValueTexts& texts, Tab tab);

// "RGB(r,g,b)".
std::string formatRgb(ColorValue colour);
// Red from the fifth character to the first comma, green to the second comma, blue to ")";
// a text without "RGB" is 65535 (yellow), as the dialog has always stored it.
ColorValue parseRgb(std::string_view text);
constexpr ColorValue kColourWithoutRgb = 65535;

struct StoreResult {
    bool ok = true;
    std::string message;  // why the dialog stays open
};

// Checks the interval and, when it is in range, stores every text into `settings`. Nothing
// is stored when the check fails.
StoreResult storeTexts(const ValueTexts& texts, AppSettings& settings);

}  // namespace qavix::env
