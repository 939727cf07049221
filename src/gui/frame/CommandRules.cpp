#include "frame/CommandRules.h"

#include "frame/CommandIds.h"

namespace qavix {

bool commandRuleAllows(int id, const CommandContext& c) {
    const bool settingsLike = c.anyComPort && c.commandsAllowed;
    const bool bankOnSelected = c.dataReady && c.bankSelected && c.bankOperationsEnabled && !c.busy;
    const bool bankAny = c.dataReady && c.bankOperationsEnabled && !c.busy && !c.pageLock;
    switch (id) {
        case kCmdImport:
            return c.importEnabled && !c.busy && !c.pageLock;
        case kCmdExport:
            return c.exportEnabled && !c.busy && !c.pageLock;
        case kCmdPrint:
            return c.printEnabled;
        case kCmdPrintPreview:
            return c.previewEnabled;
        case kCmdPrintSetup:
            return c.printSetupEnabled;
        case kCmdExit:
        case kCmdPlantView:  // a plant PC may have no port of its own
        case kCmdToolBar:
        case kCmdInfoBar:
        case kCmdStatusBar:
            return true;
        case kCmdCopy:
            return c.focusedEditHasSelection;
        case kCmdPaste:
            return c.canPaste;
        case kCmdBankDiscard:
        case kCmdBankWrite:
            return bankOnSelected;
        case kCmdBankErase:
        case kCmdBankCopy:
            return bankAny;
        case kCmdBankBar:
            return c.dataReady;
        case kCmdCommSettings:
            // Offline the emulator is the controller; another port would leave the file.
            return settingsLike && !c.offlineEditing;
        case kCmdSaveEditedFile:
            return c.offlineEditing && !c.busy;
        case kCmdJournal:
            // The window reads the controller's serial number when it is not known yet.
            return c.dataReady && !c.offlineEditing && !c.busy;
        case kCmdEnvSettings:
        case kCmdHelp:
        case kCmdManual:
        case kCmdAbout:
            return settingsLike;
        default:  // Ctrl+X, Ctrl+Z: accelerators without a handler
            return false;
    }
}

bool commandBuilt(int id) {
    switch (id) {
        case kCmdCut:
        case kCmdUndo:
            return false;
        default:
            return true;
    }
}

}  // namespace qavix
