// The frame's rules without widgets: status panes, command enable rules and bar
// placement.

#include <gtest/gtest.h>

#include "files/SettingsFile.h"
#include "frame/BarPlacement.h"
#include "frame/CommandIds.h"
#include "frame/CommandRules.h"
#include "frame/StatusPanes.h"

namespace qavix {
namespace {

// A controller that answers, as unit 0 on COM1 at 9600 bps.
StatusInputs connected() {
    StatusInputs in;
    in.unitConnected = true;
    in.portPresent = true;
    in.statusText = "接続";
    return in;
}

TEST(StatusPanes, TextsWidthsAndColours) {
    EXPECT_EQ(portText(2, 3), "COM3 38400bps");
    EXPECT_EQ(portText(1, 2), "COM2 19200bps");
    EXPECT_EQ(unitLabel(1), "１号機");
    EXPECT_EQ(unitLabel(12), "１２号機");
    EXPECT_EQ(paneWidth(" 未接続 "), 8 * 12);  // two half-width blanks, three full-width
    EXPECT_EQ(paneWidth("COM3 38400bps"), 13 * 12);
    // A device server shows instead of a device; a raw port's rate is the server's business.
    EXPECT_EQ(portText(0, 5, "rfc2217:plc-line3:4001"), "COM1 rfc2217:plc-line3:4001 115200bps");
    EXPECT_EQ(portText(0, 5, "tcp:plc-line3:4001"), "COM1 tcp:plc-line3:4001");
    EXPECT_EQ(portText(0, 5, "/dev/ttyUSB0"), "COM1 115200bps");
    const std::string longHost = "tcp:" + std::string(60, 'a') + ":4001";
    EXPECT_EQ(portText(0, 0, longHost), "COM1 tcp:" + std::string(33, 'a') + "...");

    StatusPanes panes;
    EXPECT_EQ(panes.pane(1).text, " 未接続 ");
    EXPECT_EQ(panes.pane(1).textColour, kPaneStartText);
    EXPECT_EQ(panes.pane(1).back, kPaneStartBack);

    struct Case {
        bool connected;
        bool present;
        const char* pane1;
        Rgb c1, c2, c3;
    };
    const Case cases[] = {
        {true, true, "接続", kPaneGoodText, kPaneGoodText, kPaneGoodText},
        {true, false, "接続", kPaneGoodText, kPaneBadText, kPaneBadText},
        {false, true, " 未接続 ", kPaneBadText, kPaneBadText, kPaneBadText},
        {false, false, " 未接続 ", kPaneBadText, kPaneBadText, kPaneBadText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pane1) + (c.present ? " present" : " absent"));
        StatusInputs in = connected();
        in.unitConnected = c.connected;
        in.portPresent = c.present;
        in.unit = 3;
        in.port = 2;
        in.baudIndex = 3;
        StatusPanes p;
        p.updateAll(in);
        EXPECT_EQ(p.pane(1).text, c.pane1);
        EXPECT_EQ(p.pane(1).width, paneWidth(c.pane1));
        EXPECT_EQ(p.pane(2).text, "３号機");
        EXPECT_EQ(p.pane(3).text, "COM3 38400bps");
        EXPECT_EQ(p.pane(1).textColour, c.c1);
        EXPECT_EQ(p.pane(2).textColour, c.c2);
        EXPECT_EQ(p.pane(3).textColour, c.c3);
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(p.pane(i).back, kPaneBack);
        }
    }
}

// Offline editing: the controller is the file on the built-in emulator, so the file's name
// stands where the port and its rate would, and the unit gives way to "ファイル".
TEST(StatusPanes, OfflineEditingNamesTheFileInsteadOfPortAndUnit) {
    StatusInputs in = connected();
    in.editedFile = "ライン7.qbk";
    StatusPanes p;
    p.updateAll(in);
    EXPECT_EQ(p.pane(1).text, "オフライン編集");
    EXPECT_EQ(p.pane(1).width, paneWidth("オフライン編集"));
    EXPECT_EQ(p.pane(2).text, "ファイル");
    EXPECT_EQ(p.pane(3).text, "ライン7.qbk");
    EXPECT_EQ(p.pane(3).width, paneWidth("ライン7.qbk"));
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(p.pane(i).textColour, kPaneGoodText) << i;
    }
    // Pane 1 alone (the status timer's first step) names the file too.
    StatusPanes first;
    first.update(1, in);
    EXPECT_EQ(first.pane(3).text, "ライン7.qbk");
}

TEST(StatusPanes, PaneOneAloneRecolorsTheOthersOnlyWhenConnected) {
    StatusPanes p;
    StatusInputs in = connected();
    in.port = 5;
    in.baudIndex = 5;
    p.update(1, in);
    EXPECT_EQ(p.pane(2).textColour, kPaneGoodText);
    EXPECT_EQ(p.pane(3).text, "COM6 115200bps");
    in.unitConnected = false;
    p.update(1, in);
    EXPECT_EQ(p.pane(1).textColour, kPaneBadText);
    EXPECT_EQ(p.pane(2).textColour, kPaneGoodText);  // untouched until pane 2 is updated
    // The unit answers, but its port has gone: pane 1 is good, the others are not.
    in.unitConnected = true;
    in.portPresent = false;
    p.update(1, in);
    EXPECT_EQ(p.pane(1).textColour, kPaneGoodText);
    EXPECT_EQ(p.pane(2).textColour, kPaneBadText);
    EXPECT_EQ(p.pane(3).textColour, kPaneBadText);
}

TEST(CommandRules, EnableRulesAsATable) {
    CommandContext idle;
    idle.anyComPort = true;
    idle.dataReady = true;
    idle.bankSelected = true;

    CommandContext busy = idle;
    busy.busy = true;
    CommandContext locked = idle;
    locked.pageLock = true;
    CommandContext menuLocked = idle;
    menuLocked.commandsAllowed = false;
    CommandContext currentValues = idle;
    currentValues.bankSelected = false;
    CommandContext noPort = idle;
    noPort.anyComPort = false;
    CommandContext notReady = idle;
    notReady.dataReady = false;

    struct Row {
        int id;
        bool idle, busy, pageLock, menuLocked, currentValues, noPort, notReady;
    };
    const Row rows[] = {
        {kCmdImport, true, false, false, true, true, true, true},
        {kCmdExport, true, false, false, true, true, true, true},
        {kCmdBankDiscard, true, false, true, true, false, true, false},
        {kCmdBankWrite, true, false, true, true, false, true, false},
        {kCmdBankErase, true, false, false, true, true, true, false},
        {kCmdBankCopy, true, false, false, true, true, true, false},
        {kCmdCommSettings, true, true, true, false, true, false, true},
        {kCmdEnvSettings, true, true, true, false, true, false, true},
        {kCmdJournal, true, false, true, true, true, true, false},
        {kCmdHelp, true, true, true, false, true, false, true},
        {kCmdManual, true, true, true, false, true, false, true},
        {kCmdAbout, true, true, true, false, true, false, true},
        {kCmdBankBar, true, true, true, true, true, true, false},
        {kCmdToolBar, true, true, true, true, true, true, true},
        {kCmdExit, true, true, true, true, true, true, true},
        {kCmdCut, false, false, false, false, false, false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.id);
        EXPECT_EQ(commandRuleAllows(r.id, idle), r.idle);
        EXPECT_EQ(commandRuleAllows(r.id, busy), r.busy);
        EXPECT_EQ(commandRuleAllows(r.id, locked), r.pageLock);
        EXPECT_EQ(commandRuleAllows(r.id, menuLocked), r.menuLocked);
        EXPECT_EQ(commandRuleAllows(r.id, currentValues), r.currentValues);
        EXPECT_EQ(commandRuleAllows(r.id, noPort), r.noPort);
        EXPECT_EQ(commandRuleAllows(r.id, notReady), r.notReady);
    }
    EXPECT_TRUE(commandEnabled(kCmdBankErase, idle));
    EXPECT_TRUE(commandEnabled(kCmdImport, idle));
    // Accelerators without a handler stay greyed whatever happens.
    EXPECT_FALSE(commandEnabled(kCmdUndo, idle));
    EXPECT_TRUE(commandEnabled(kCmdAbout, idle));
    EXPECT_FALSE(commandEnabled(kCmdAbout, noPort));
}

TEST(CommandRules, CopyAndPasteFollowTheFocusedEdit) {
    CommandContext c;
    EXPECT_FALSE(commandEnabled(kCmdCopy, c));
    c.focusedEditHasSelection = true;
    EXPECT_TRUE(commandEnabled(kCmdCopy, c));
    EXPECT_FALSE(commandEnabled(kCmdPaste, c));
    c.canPaste = true;
    EXPECT_TRUE(commandEnabled(kCmdPaste, c));
}

TEST(BarPlacement, DefaultsWithoutSections) {
    const SettingsFile empty;
    const BarPlacement tool = readBarPlacement(empty, kToolBarIndex);
    const BarPlacement bank = readBarPlacement(empty, kBankBarIndex);
    const BarPlacement info = readBarPlacement(empty, kInfoBarIndex);
    EXPECT_TRUE(tool.visible && bank.visible && info.visible);
    EXPECT_FALSE(tool.floating || bank.floating || info.floating);
    EXPECT_EQ(tool.left, 2);
    EXPECT_EQ(bank.left, 165);
    EXPECT_EQ(info.left, 296);
    EXPECT_EQ(info.right, 669);
    EXPECT_EQ(info.bottom, 80);
    EXPECT_TRUE(readStatusBarVisible(empty));
    // All three docked in one row, left to right.
    const std::array<BarPlacement, kBarCount> bars = {tool, bank, info};
    EXPECT_EQ(dockRows(bars, {0, 1, 2}), (std::vector<std::vector<int>>{{0, 1, 2}}));
}

TEST(BarPlacement, FloatingInformationBarDefaultsToItsOwnCorner) {
    const SettingsFile f = SettingsFile::fromText("[InfoDialog]\r\nFloat=1\r\n");
    const BarPlacement info = readBarPlacement(f, kInfoBarIndex);
    EXPECT_TRUE(info.floating);
    EXPECT_EQ(info.left, 100);
    EXPECT_EQ(info.top, 100);
}

TEST(BarPlacement, WrittenAndReadBack) {
    SettingsFile f;
    BarPlacement p;
    p.visible = false;
    p.floating = true;
    p.left = 11;
    p.top = 22;
    p.right = 333;
    p.bottom = 44;
    writeBarPlacement(f, kBankBarIndex, p);
    writeStatusBarVisible(f, false);
    EXPECT_NE(f.text().find("[BankDialog]\r\nVisible=0\r\nFloat=1\r\nLeft=11\r\nTop=22\r\n"
                            "Right=333\r\nBottom=44\r\n"),
              std::string::npos);
    const BarPlacement back = readBarPlacement(f, kBankBarIndex);
    EXPECT_FALSE(back.visible);
    EXPECT_TRUE(back.floating);
    EXPECT_EQ(back.right, 333);
    EXPECT_FALSE(readStatusBarVisible(f));
}

TEST(BarPlacement, RowsByBottomEdgeThenLeftEdge) {
    std::array<BarPlacement, kBarCount> bars{};
    bars[0] = {true, false, 300, 80, 460, 118};  // tool bar on the second row, right
    bars[1] = {true, false, 2, 42, 140, 80};     // bank bar on the first row
    bars[2] = {true, false, 2, 80, 290, 118};    // information bar on the second row, left
    EXPECT_EQ(dockRows(bars, {0, 1, 2}), (std::vector<std::vector<int>>{{1}, {2, 0}}));
    EXPECT_EQ(dockRows(bars, {0, 2}), (std::vector<std::vector<int>>{{2, 0}}));
}

}  // namespace
}  // namespace qavix
