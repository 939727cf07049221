#include "frame/CommandTable.h"

#include "frame/CommandIds.h"

#include <QtGlobal>
#include <algorithm>

namespace qavix {

const std::vector<MenuRow>& frameMenus() {
    static const std::vector<MenuRow> menus = {
        {MenuId::File, QT_TRANSLATE_NOOP("qavix::CommandTable", "ファイル(&F)")},
        {MenuId::Edit, QT_TRANSLATE_NOOP("qavix::CommandTable", "編集(&E)")},
        {MenuId::Bank, "Bank(&B)"},
        {MenuId::Settings, QT_TRANSLATE_NOOP("qavix::CommandTable", "設定(&S)")},
        {MenuId::View, QT_TRANSLATE_NOOP("qavix::CommandTable", "表示(&V)")},
        {MenuId::Help, QT_TRANSLATE_NOOP("qavix::CommandTable", "ヘルプ(&H)")},
    };
    return menus;
}

const std::vector<CommandRow>& frameCommands() {
    using K = KeyScope;
    using M = MenuId;
    // clang-format off
    static const std::vector<CommandRow> commands = {
        // Ctrl+S saves the file being edited; the export then keeps its item without the key.
        {kCmdSaveEditedFile, M::File, QT_TRANSLATE_NOOP("qavix::CommandTable", "上書き保存(&W)"), "Ctrl+S", K::Action, false, false, true},
        {kCmdImport, M::File, QT_TRANSLATE_NOOP("qavix::CommandTable", "インポート(&O)..."), "Ctrl+O"},
        {kCmdExport, M::File, QT_TRANSLATE_NOOP("qavix::CommandTable", "エクスポート(&S)"), "Ctrl+S"},
        {kCmdPrint, M::File, QT_TRANSLATE_NOOP("qavix::CommandTable", "印刷(&P)..."), "Ctrl+P", K::Action, true},
        {kCmdPrintPreview, M::File, QT_TRANSLATE_NOOP("qavix::CommandTable", "印刷ﾌﾟﾚﾋﾞｭｰ(&V)"), ""},
        // Ctrl+Q closes the window, so it passes the same bank editing guard as the close
        // button. Spelled out: the standard Quit key is empty on platforms without key bindings.
        {kCmdPlantView, M::File, QT_TRANSLATE_NOOP("qavix::CommandTable", "プラント表示(&L)..."), "", K::Action, true},
        {kCmdExit, M::File, QT_TRANSLATE_NOOP("qavix::CommandTable", "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"), "Ctrl+Q", K::Action, true},
        {kCmdPrintSetup, M::None, "", ""},
        {kCmdCopy, M::Edit, QT_TRANSLATE_NOOP("qavix::CommandTable", "ｺﾋﾟｰ(&P) Ctrl + C"), "Ctrl+C", K::WhileEnabled},
        {kCmdPaste, M::Edit, QT_TRANSLATE_NOOP("qavix::CommandTable", "貼り付け Ctrl + P"), "Ctrl+V", K::WhileEnabled},
        {kCmdCut, M::None, "", "Ctrl+X"},
        {kCmdUndo, M::None, "", "Ctrl+Z"},
        {kCmdBankDiscard, M::Bank, QT_TRANSLATE_NOOP("qavix::CommandTable", "Bank編集破棄"), ""},
        {kCmdBankWrite, M::Bank, QT_TRANSLATE_NOOP("qavix::CommandTable", "Bank書込み"), ""},
        {kCmdBankErase, M::Bank, QT_TRANSLATE_NOOP("qavix::CommandTable", "Bank消去"), ""},
        {kCmdBankCopy, M::Bank, QT_TRANSLATE_NOOP("qavix::CommandTable", "Bankｺﾋﾟｰ"), ""},
        {kCmdCommSettings, M::Settings, QT_TRANSLATE_NOOP("qavix::CommandTable", "通信設定(&C)"), ""},
        {kCmdEnvSettings, M::Settings, QT_TRANSLATE_NOOP("qavix::CommandTable", "環境設定(&G)"), ""},
        {kCmdJournal, M::Settings, QT_TRANSLATE_NOOP("qavix::CommandTable", "変更履歴(&J)..."), ""},
        {kCmdToolBar, M::View, QT_TRANSLATE_NOOP("qavix::CommandTable", "ﾂｰﾙ ﾊﾞｰ(&T)"), "", K::Action, false, true},
        {kCmdBankBar, M::View, QT_TRANSLATE_NOOP("qavix::CommandTable", "Bank ﾊﾞｰ(&B)"), "", K::Action, false, true},
        {kCmdInfoBar, M::View, QT_TRANSLATE_NOOP("qavix::CommandTable", "ﾀﾞｲｱﾛｸﾞﾊﾞｰ(&D)"), "", K::Action, false, true},
        {kCmdStatusBar, M::View, QT_TRANSLATE_NOOP("qavix::CommandTable", "ｽﾃｰﾀｽ ﾊﾞｰ(&S)"), "", K::Action, false, true},
        {kCmdHelp, M::Help, QT_TRANSLATE_NOOP("qavix::CommandTable", "ヘルプ"), "Ctrl+H"},
        {kCmdManual, M::Help, QT_TRANSLATE_NOOP("qavix::CommandTable", "ユーザーズマニュアル(&U)"), "Ctrl+U"},
        {kCmdAbout, M::Help, QT_TRANSLATE_NOOP("qavix::CommandTable", "ﾊﾞｰｼﾞｮﾝ情報(&A)..."), "", K::Action, true},
    };
    // clang-format on
    return commands;
}

std::optional<CommandRow> frameCommand(int id) {
    for (const CommandRow& c : frameCommands()) {
        if (c.id == id) {
            return c;
        }
    }
    return std::nullopt;
}

std::string menuTextWords(const std::string& text) {
    std::string out = text;
    // A mnemonic in brackets after the words, as Japanese menus give it: "(&T)".
    if (const size_t open = out.find("(&"); open != std::string::npos) {
        const size_t close = out.find(')', open);
        out.erase(open, close == std::string::npos ? std::string::npos : close - open + 1);
    }
    if (const size_t dots = out.find("..."); dots != std::string::npos) {
        out.erase(dots, 3);
    }
    out.erase(std::remove(out.begin(), out.end(), '&'), out.end());
    const size_t first = out.find_first_not_of(' ');
    const size_t last = out.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : out.substr(first, last - first + 1);
}

}  // namespace qavix
