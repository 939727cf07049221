// The environment settings dialog's rules without the dialog: the interval check, colour
// texts, per-tab defaults and how the texts go back into the settings; and what the
// communication settings dialog writes when the user confirms it.

#include <gtest/gtest.h>

#include "files/EnvironmentItems.h"
#include "files/PortSettings.h"
#include "files/ProfileFile.h"

namespace qavix::env {
namespace {

ValueTexts defaults() {
    return valueTexts(AppSettings{});
}

TEST(EnvironmentItems, IntervalRangeAndMessage) {
    struct Case {
        const char* text;
        bool ok;
    };
    const Case cases[] = {{"99", false},   {"100", true},  {"1000", true}, {"1001", false},
                          {"200", true},   {"", false},    {"abc", false}, {"150ms", false},
                          {"-100", false}, {" 300", true}, {"0", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        AppSettings s;
        s.interval = 555;
        ValueTexts t = valueTexts(s);
        t[kItemInterval] = c.text;
        t[kItemButton] = "Metal";
        const StoreResult r = storeTexts(t, s);
        EXPECT_EQ(r.ok, c.ok);
        if (c.ok) {
            EXPECT_EQ(s.interval, std::stoi(c.text));
            EXPECT_EQ(s.button, 7);
        } else {
            EXPECT_EQ(r.message, "指定範囲が異常です\n\nインターバル値");
            // Nothing is stored when the check fails.
            EXPECT_EQ(s.interval, 555);
            EXPECT_EQ(s.button, 0);
        }
    }
}

TEST(EnvironmentItems, ColourTexts) {
    struct Case {
        const char* text;
        ColorValue expected;
    };
    const Case cases[] = {
        {"RGB(30,200,30)", makeColor(30, 200, 30)},
        {"RGB(0,0,0)", 0},
        {"RGB(255,255,255)", makeColor(255, 255, 255)},
        {"RGB( 1, 2, 3)", makeColor(1, 2, 3)},
        {"RGB(300,-5,7)", makeColor(255, 0, 7)},  // clamped, not wrapped into other channels
        {"RGB(12,34)", makeColor(12, 34, 0)},
        {"RGB", 0},
        {"30,200,30", kColourWithoutRgb},
        {"", kColourWithoutRgb},
        {"rgb(1,2,3)", kColourWithoutRgb},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseRgb(c.text), c.expected);
    }
    for (ColorValue v : {makeColor(1, 2, 3), makeColor(255, 0, 128), ColorValue{0}}) {
        EXPECT_EQ(parseRgb(formatRgb(v)), v);
    }
    EXPECT_EQ(formatRgb(makeColor(20, 20, 255)), "RGB(20,20,255)");
}

TEST(EnvironmentItems, TextsShownForTheSettings) {
    AppSettings s;
    s.interval = 350;
    s.blanking = 1;
    s.splash = 0;
    s.browser = 0;
    s.button = 5;
    s.colors[kColorOff] = makeColor(1, 2, 3);
    const ValueTexts t = valueTexts(s);
    EXPECT_EQ(t[kItemInterval], "350");
    EXPECT_EQ(t[kItemBlanking], "リスト");
    EXPECT_EQ(t[kItemSplash], "非表示");
    EXPECT_EQ(t[kItemBrowser], "禁止");
    EXPECT_EQ(t[kItemButton], "H shade");
    EXPECT_EQ(t[kItemFirstColour + kColorOff], "RGB(1,2,3)");

    const ValueTexts d = defaults();
    EXPECT_EQ(d[kItemInterval], "200");
    EXPECT_EQ(d[kItemBlanking], "グラフ");
    EXPECT_EQ(d[kItemSplash], "表示");
    EXPECT_EQ(d[kItemBrowser], "許可");
    EXPECT_EQ(d[kItemButton], "Normal");
    // The defaults of the colour tab are the settings file's default colours.
    for (int i = kItemFirstColour; i <= kItemLastColour; ++i) {
        EXPECT_EQ(d[static_cast<size_t>(i)], itemInfo(i).defaultText) << itemInfo(i).name;
    }
}

TEST(EnvironmentItems, DefaultsResetOnlyTheirTab) {
    AppSettings s;
    s.interval = 800;
    s.button = 7;
    s.blanking = 1;
    for (auto& c : s.colors) {
        c = makeColor(9, 9, 9);
    }
    const ValueTexts before = valueTexts(s);
    ValueTexts t = before;
    resetTab(t, kTabColour);
    for (int i = 0; i < kItemCount; ++i) {
        const bool colour = i >= kItemFirstColour && i <= kItemLastColour;
        EXPECT_EQ(t[static_cast<size_t>(i)],
                  colour ? std::string(itemInfo(i).defaultText) : before[static_cast<size_t>(i)])
            << itemInfo(i).name;
    }
    t = before;
    resetTab(t, kTabOther);
    EXPECT_EQ(t[kItemButton], "Normal");
    EXPECT_EQ(t[kItemInterval], "800");
    EXPECT_EQ(t[kItemFirstColour], "RGB(9,9,9)");
}

TEST(EnvironmentItems, StoringTheChoices) {
    AppSettings s;
    ValueTexts t = valueTexts(s);
    t[kItemBlanking] = "リスト";
    t[kItemSplash] = "非表示";
    t[kItemBrowser] = "禁止";
    t[kItemFirstColour + kColorScanOn] = "green";
    t[kItemButton] = "Soft bump";
    t[kItemAskReason] = "する";
    ASSERT_TRUE(storeTexts(t, s).ok);
    EXPECT_TRUE(s.journal.askReason);
    EXPECT_EQ(valueTexts(s)[kItemAskReason], "する");
    EXPECT_EQ(s.blanking, 1);
    EXPECT_EQ(s.splash, 0);
    EXPECT_EQ(s.browser, 0);
    EXPECT_EQ(s.colors[kColorScanOn], kColourWithoutRgb);
    EXPECT_EQ(s.button, 2);
    // A style name the list does not know leaves the style alone.
    t[kItemButton] = "Chrome";
    ASSERT_TRUE(storeTexts(t, s).ok);
    EXPECT_EQ(s.button, 2);
    // Every name maps to its number.
    const std::vector<std::string> names = splitChoices(itemInfo(kItemButton).choices);
    ASSERT_EQ(names.size(), 8u);
    for (size_t i = 0; i < names.size(); ++i) {
        t[kItemButton] = names[i];
        ASSERT_TRUE(storeTexts(t, s).ok);
        EXPECT_EQ(s.button, static_cast<int>(i));
        EXPECT_EQ(valueTexts(s)[kItemButton], names[i]);
    }
}

TEST(EnvironmentItems, TabsHoldTheirItems) {
    EXPECT_EQ(itemsOfTab(kTabOperation),
              (std::vector<int>{kItemInterval, kItemBlanking, kItemAskReason}));
    EXPECT_EQ(itemsOfTab(kTabColour).size(), 9u);
    EXPECT_EQ(itemsOfTab(kTabOther), (std::vector<int>{kItemSplash, kItemBrowser, kItemButton}));
    EXPECT_EQ(splitChoices("グラフ|リスト|"), (std::vector<std::string>{"グラフ", "リスト"}));
    EXPECT_EQ(splitChoices(""), std::vector<std::string>{});
}

TEST(PortSettingsDialog, ConfirmedChoiceWritesThePortSectionAndTheActiveKeys) {
    ProfileFile profile;
    PortSettings s;
    s.activePort = 2;
    s.activeMachine = 12;
    s.ports[2].baudIndex = 3;
    s.ports[2].bytesize = 0;
    s.ports[2].parity = 0;
    s.ports[2].stopbit = 0;
    s.saveChosenPort(profile, true);
    EXPECT_EQ(profile.getInt("COM3_SETTING", "Port", -1), 2);
    EXPECT_EQ(profile.getInt("COM3_SETTING", "Baudrate", -1), 3);
    EXPECT_EQ(profile.getInt("COM3_SETTING", "Bytesize", -1), 0);
    EXPECT_EQ(profile.getInt("COM3_SETTING", "Parity", -1), 0);
    EXPECT_EQ(profile.getInt("COM3_SETTING", "Stopbit", -1), 0);
    EXPECT_EQ(profile.getInt("COM3_SETTING", "Machine", -1), 12);
    EXPECT_EQ(profile.getInt("Qavix_Section", "ActivePort", -1), 2);
    EXPECT_EQ(profile.getInt("Qavix_Section", "ActiveMachine", -1), 12);
    // Other ports' sections are not touched.
    EXPECT_EQ(profile.getInt("COM1_SETTING", "Baudrate", -1), -1);
    // The read-back gives the same choice.
    const PortSettings back = PortSettings::load(profile);
    EXPECT_EQ(back.activePort, 2);
    EXPECT_EQ(back.activeMachine, 12);
    EXPECT_EQ(back.ports[2].baudRate(), 38400);

    ProfileFile noPorts;
    s.saveChosenPort(noPorts, false);
    EXPECT_EQ(noPorts.getInt("COM3_SETTING", "Port", -1), -1);
    EXPECT_EQ(noPorts.getInt("COM3_SETTING", "Machine", -1), 12);
}

}  // namespace
}  // namespace qavix::env
