#include "frame/StatusPaneView.h"

#include <QCoreApplication>
#include <QLabel>

#include "widgets/CColorStatusBar.h"

namespace qavix {

namespace {

constexpr int kUnitPaneExtra = 20;

QColor toQColor(const Rgb& c) {
    return QColor(c.r, c.g, c.b);
}

}  // namespace

StatusPaneView::StatusPaneView(CColorStatusBar& bar, std::function<StatusInputs()> inputs)
    : m_bar(bar), m_inputs(std::move(inputs)) {}

void StatusPaneView::showInitial() {
    m_bar.setPaneText(0, QCoreApplication::translate("qavix::StatusPaneView", "ﾚﾃﾞｨ"));
    apply(1);
    apply(2);
    apply(3);
    const QFontMetrics fm(m_bar.pane(2)->font());
    m_bar.pane(2)->setFixedWidth(fm.horizontalAdvance(m_bar.pane(2)->text()) + kUnitPaneExtra);
}

void StatusPaneView::apply(int pane) {
    const PaneLook& look = m_panes.pane(pane);
    m_bar.setPane(pane, QString::fromStdString(look.text), look.width, toQColor(look.textColour),
                  toQColor(look.back));
}

void StatusPaneView::update(int pane, const QString& editedFile) {
    if (!m_inputs) {
        return;
    }
    const StatusInputs inputs = m_inputs();
    m_panes.update(pane, inputs);
    for (int p = 1; p <= 3; ++p) {
        apply(p);
    }
    if (!editedFile.isEmpty()) {
        m_bar.pane(3)->setToolTip(editedFile);
        return;
    }
    QString tip =
        inputs.portTarget.empty()
            ? QCoreApplication::translate("qavix::StatusPaneView",
                                          "デバイスなし（ダブルクリックで通信設定）")
            : QCoreApplication::translate("qavix::StatusPaneView",
                                          "%1\n（ダブルクリックで通信設定）")
                  .arg(QString::fromStdString(inputs.portTarget));
    if (!inputs.fingerprint.empty()) {
        tip += "\n" + QCoreApplication::translate("qavix::StatusPaneView", "設定フィンガープリント: %1")
                          .arg(QString::fromStdString(inputs.fingerprint));
    }
    m_bar.pane(3)->setToolTip(tip);
}

}  // namespace qavix
