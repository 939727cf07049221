#pragma once
// Helpers for the widget tests: letting events run, answering modal dialogs, and a frame
// built on an unconnected link.

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "comm/CCommLink.h"
#include "comm/Transactions.h"
#include "files/SettingsFile.h"
#include "frame/CBankManager.h"
#include "frame/CMainFrame.h"
#include "state/AppState.h"

namespace qavix::test {

inline void settle(int ms = 0) {
    QElapsedTimer t;
    t.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    } while (t.elapsed() < ms);
}

// A press, move or release of `button` at `pos` on `w`, as a dragging hand makes them: the
// button held from the press to the release.
inline void sendMouse(QWidget* w, QEvent::Type type, QPoint pos,
                      Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)),
                  type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// A drop-down's entry picked as a user picks it: the choice and its signal.
inline void choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// A drop-down's entries, in order.
inline QStringList itemsOf(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

// Typed over whatever the box holds.
inline void typeOver(QLineEdit* box, const QString& text) {
    box->selectAll();
    QTest::keyClicks(box, text);
}

// Runs the event loop until `done` holds or `timeoutMs` passes; returns `done()`.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < timeoutMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

// Answers every modal dialog that opens while it lives: message boxes with OK (or Cancel
// while `accept` is false), other dialogs with accept() or reject(). Records the texts.
class ModalAnswerer {
  public:
    explicit ModalAnswerer(bool accept = true) : m_accept(accept) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start();
    }
    void setAccept(bool accept) { m_accept = accept; }
    // The modal dialog under test, shown by the test itself: only what it opens is answered.
    void leaveAlone(QWidget* dialog) { m_leaveAlone = dialog; }
    const std::vector<std::string>& texts() const { return m_texts; }

  private:
    void answer() {
        QWidget* w = QApplication::activeModalWidget();
        if (w == nullptr) {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->isVisible() && top->isModal()) {
                    w = top;
                }
            }
        }
        if (w == nullptr || w == m_leaveAlone) {
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            m_texts.push_back(box->text().toStdString());
            QAbstractButton* b = box->button(m_accept ? QMessageBox::Ok : QMessageBox::Cancel);
            if (b == nullptr) {
                b = box->defaultButton();
            }
            if (b != nullptr) {
                b->click();
            } else {
                box->done(0);
            }
        } else if (auto* dialog = qobject_cast<QDialog*>(w)) {
            m_texts.push_back(dialog->objectName().toStdString());
            m_accept ? dialog->accept() : dialog->reject();
        }
    }

    QTimer m_timer;
    QPointer<QWidget> m_leaveAlone;
    bool m_accept;
    std::vector<std::string> m_texts;
};

class SilentHost : public CommHost {
  public:
    void showMessage(const std::string&) override {}
    bool ask(Question, const std::string&) override { return false; }
    void runCommSettings() override {}
    void endProgram() override {}
};

// A controller with two sensors and the bank function on, read into the current values.
inline void fillModel(DeviceModel& model, int sensors = 2) {
    GeneralBlock& g = model.working().general;
    g.jointNum = sensors;
    g.bankFunction = 0x10;
    g.allOnOffCnf = 2;
    g.grpCnf = 2;
    for (int c = 0; c < sensors; ++c) {
        model.working().channel(c).beamCount = 40 - 8 * c;
        model.working().channel(c).pitchText = c == 0 ? "15mm" : "30mm";
    }
    static_cast<SettingsData&>(model.storedSet(kCurrentSet)) = model.working();
    model.storedSet(kCurrentSet).compatible = 1;
    model.storedSet(kCurrentSet).loaded = 1;
}

// A main frame over a link that is never started: requests fail at once.
struct FrameFixture {
    explicit FrameFixture(const std::string& ini = std::string(), bool debug = false,
                          bool extended = false)
        : settings(SettingsFile::fromText(ini)),
          link(host, model),
          transactions(link, model),
          banks(model, transactions),
          state(model) {
        fillModel(model);
        state.debugMode = debug;
        state.extendedMode = extended;
        state.anyComPort = true;
        state.dataReady = true;
        status.portPresent = true;
        status.unitConnected = true;
        status.statusText = "接続";
    }

    std::unique_ptr<CMainFrame> makeFrame() {
        FrameServices services{state,     settings, banks, [this] { return status; },
                               QString(), false,    300};
        auto frame = std::make_unique<CMainFrame>(services);
        state.setCommBusy(false);
        return frame;
    }

    SettingsFile settings;
    DeviceModel model;
    SilentHost host;
    CCommLink link;
    Transactions transactions;
    CBankManager banks;
    AppState state;
    StatusInputs status;
};

}  // namespace qavix::test
