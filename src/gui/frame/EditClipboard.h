#pragma once
// Copy and paste of the main frame's Edit menu and tool bar: they act on the focused text
// edit, else on the one last focused while it can still be typed into (a tool bar button
// reached with Tab holds the focus itself).

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace qavix {

struct CommandContext;

class EditClipboard : public QObject {
    Q_OBJECT
  public:
    explicit EditClipboard(QObject* parent = nullptr);

    // The edit that copy and paste act on, or nothing.
    QWidget* target() const;
    void copy();
    void paste();
    // Fills what the copy and paste rules ask about the target and the clipboard.
    void describe(CommandContext& c) const;

  private:
    QPointer<QWidget> m_lastEdit;
};

}  // namespace qavix
