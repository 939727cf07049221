#pragma once
// When each command of the main frame is enabled. Evaluated whenever menus and bars are
// refreshed; no Qt here so the rules are tested as a table.

namespace qavix {

struct CommandContext {
    bool busy = false;  // communication busy or continuous monitoring
    bool pageLock = false;
    bool commandsAllowed = true;
    bool anyComPort = false;
    bool dataReady = false;
    bool bankSelected = false;  // the selected set is Bank 1..4
    bool bankOperationsEnabled = true;
    bool importEnabled = true;
    bool exportEnabled = true;
    bool printEnabled = false;
    bool previewEnabled = false;
    bool printSetupEnabled = false;
    bool focusedEditHasSelection = false;
    bool canPaste = false;        // the clipboard holds text and the focus is a writable edit
    bool offlineEditing = false;  // a bank file is edited on the built-in emulator
};

// The rule of the command, regardless of whether its feature exists yet.
bool commandRuleAllows(int id, const CommandContext& c);

// Whether the program has the feature behind the command. Commands of features still to
// come stay greyed.
bool commandBuilt(int id);

inline bool commandEnabled(int id, const CommandContext& c) {
    return commandBuilt(id) && commandRuleAllows(id, c);
}

}  // namespace qavix
