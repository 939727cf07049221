#pragma once
// The bank copy dialog: a source list, a blinking arrow and a destination list.

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QTimer>

#include "frame/CBankManager.h"

namespace qavix {

class CBankCopyDlg : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kBlinkMs = 500;  // timer 20

    CBankCopyDlg(CBankManager& banks, QWidget* parent = nullptr);

    QListWidget* sources() const { return m_sources; }
    QListWidget* destinations() const { return m_destinations; }
    QLabel* arrow() const { return m_arrow; }
    // The arrow's colour while it is shown (it blinks into the background's).
    QColor arrowColour() const { return m_arrowColour; }
    // "実行" with the entries selected in the two lists.
    void execute();

  private:
    void fillDestinations();
    static int setOf(const QListWidget* list);

    CBankManager& m_banks;
    QListWidget* m_sources = nullptr;
    QListWidget* m_destinations = nullptr;
    QLabel* m_arrow = nullptr;
    QColor m_arrowColour;
    QTimer m_blink;
};

}  // namespace qavix
