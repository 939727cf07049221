#pragma once
// Menu 128 as data: its pop-ups, and per command the pop-up it sits in, its text with the
// mnemonic, its key and how it is shown. The frame builds its menus and keys from this
// table and enables each item by commandEnabled (CommandRules); no Qt here, so the table is
// checked without a display.

#include <optional>
#include <string>
#include <vector>

namespace qavix {

enum class MenuId { None, File, Edit, Bank, Settings, View, Help };

struct MenuRow {
    MenuId id;
    const char* title;
};

enum class KeyScope {
    // The key is the action's own window shortcut.
    Action,
    // The key is a separate window shortcut that acts only while the command is enabled;
    // the menu text spells the key itself (the edit commands).
    WhileEnabled,
};

struct CommandRow {
    int id;
    MenuId menu;       // None: a key or a command of the bars without a menu item
    const char* text;  // as shown, mnemonic included
    const char* key;   // "" for none
    KeyScope keyScope = KeyScope::Action;
    bool separatorBefore = false;
    bool checkable = false;
    // Only added while a bank file is edited offline, at the top of its pop-up.
    bool offlineOnly = false;
};

// The pop-ups in menu bar order.
const std::vector<MenuRow>& frameMenus();
// Every command in menu order, each id once.
const std::vector<CommandRow>& frameCommands();
std::optional<CommandRow> frameCommand(int id);

// A menu text as words, for what the command names elsewhere: "ﾂｰﾙ ﾊﾞｰ(&T)" is "ﾂｰﾙ ﾊﾞｰ",
// without its mnemonic, its "..." and the blanks around them.
std::string menuTextWords(const std::string& text);

}  // namespace qavix
