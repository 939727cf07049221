#pragma once
// The main frame as the editor of one bank file (qavix --edit FILE): the window title, the
// save of "上書き保存" and the question about unsaved changes when leaving.

#include <QString>
#include <QWidget>
#include <functional>

namespace qavix {

class AppState;
class CBankManager;

// A bank file edited offline: its name for the title, whether the current values differ
// from it, and the save ("" on success, else why it failed).
struct OfflineEditing {
    QString filePath;
    std::function<bool()> modified;
    std::function<QString()> save;
};

class OfflineEditSession {
  public:
    OfflineEditSession(QWidget& window, AppState& state, CBankManager& banks)
        : m_window(window), m_state(state), m_banks(banks) {}

    void start(OfflineEditing editing);
    bool active() const { return m_active; }
    const QString& filePath() const { return m_editing.filePath; }
    // Marks the window's title while the values differ from the file.
    void showModified();
    // false when nothing was saved (pending page edits, a failed write).
    bool save();
    // Leaving with unsaved changes: save, discard or stay; true when the window may go.
    bool confirmLeaving();

  private:
    QWidget& m_window;
    AppState& m_state;
    CBankManager& m_banks;
    OfflineEditing m_editing;
    bool m_active = false;
};

}  // namespace qavix
