#pragma once
// Command identifiers of menu 128, its accelerators and the bars.

namespace qavix {

enum CommandId : int {
    kCmdImport = 57601,
    kCmdExport = 32782,
    kCmdPrint = 57607,
    kCmdPrintPreview = 57609,
    kCmdPrintSetup = 57606,
    kCmdExit = 57665,
    kCmdCopy = 57634,
    kCmdPaste = 57637,
    kCmdCut = 57635,
    kCmdUndo = 57643,
    kCmdBankDiscard = 32775,
    kCmdBankWrite = 32776,
    kCmdBankErase = 32777,
    kCmdBankCopy = 32778,
    kCmdCommSettings = 32780,
    kCmdEnvSettings = 32774,
    kCmdToolBar = 59392,
    kCmdBankBar = 32779,
    kCmdInfoBar = 32772,
    kCmdStatusBar = 59393,
    kCmdHelp = 57670,
    kCmdManual = 32783,
    kCmdAbout = 57664,
    kCmdPlantView = 32790,       // "プラント表示": the plant window
    kCmdSaveEditedFile = 57603,  // "上書き保存", only while a bank file is edited offline
    kCmdJournal = 32784,         // "変更履歴", the change journal's window
};

}  // namespace qavix
