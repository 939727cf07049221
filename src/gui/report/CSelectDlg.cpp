#include "report/CSelectDlg.h"

#include <QGroupBox>
#include <QHBoxLayout>

#include "widgets/FlowLayout.h"

#include "model/DeviceData.h"
#include "report/CView005.h"

namespace qavix {

namespace {

constexpr int kFirstToggleId = 1032;
constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 30;
constexpr int kMargin = 8;

struct ToggleText {
    const char* label;
    const char* tip;
};

constexpr ToggleText kToggleTexts[CSelectDlg::kToggleCount] = {
    {"RQ5M", QT_TRANSLATE_NOOP("qavix::CSelectDlg", "コントローラ情報")},
    {"CH1", QT_TRANSLATE_NOOP("qavix::CSelectDlg", "センサCH1情報")},
    {"CH2", QT_TRANSLATE_NOOP("qavix::CSelectDlg", "センサCH2情報")},
    {"CH3", QT_TRANSLATE_NOOP("qavix::CSelectDlg", "センサCH3情報")},
};

CPictureButton* makeButton(const QString& text, int id, QWidget* parent) {
    auto* b = new CPictureButton(parent);
    b->setText(text);
    b->setAccessibleName(text);
    b->setObjectName(QString("button%1").arg(id));
    b->setFixedSize(kButtonWidth, kButtonHeight);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

}  // namespace

CSelectDlg::CSelectDlg(AppState& state, CView005& page, QWidget* parent)
    : PaneView("CSelectDlg", parent), m_state(state), m_page(page) {
    // A narrow bar puts its two groups one above the other rather than over each other.
    auto* layout = new FlowLayout(this, kMargin, 2);
    layout->setContentsMargins(kMargin, 2, kMargin, 2);

    auto* operation = new QGroupBox(tr("操作"), this);
    auto* opLayout = new QHBoxLayout(operation);
    m_save = makeButton(tr("保存"), kSaveId, operation);
    m_print = makeButton(tr("印刷"), kPrintId, operation);
    m_save->setToolTip(tr("設定一覧をテキストファイルに保存"));
    m_print->setToolTip(tr("印刷プレビュー"));
    opLayout->addWidget(m_save);
    opLayout->addWidget(m_print);

    auto* display = new QGroupBox(tr("表示設定"), this);
    auto* displayLayout = new QHBoxLayout(display);
    for (int block = 0; block < kToggleCount; ++block) {
        const ToggleText& t = kToggleTexts[block];
        CPictureButton* b = makeButton(t.label, kFirstToggleId + block, display);
        b->setCheckable(true);
        b->setToolTip(tr(t.tip));
        b->setAccessibleDescription(tr(t.tip));
        connect(b, &QToolButton::toggled, this, [this, block](bool on) { toggled(block, on); });
        displayLayout->addWidget(b);
        m_toggles[static_cast<size_t>(block)] = b;
    }

    layout->addWidget(operation);
    layout->addWidget(display);
    connect(m_save, &QToolButton::clicked, &m_page, &CView005::saveText);
    connect(m_print, &QToolButton::clicked, &m_page, &CView005::printPreview);
    setMinimumHeight(0);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
}

void CSelectDlg::pageShown(const QString& /*title*/) {
    if (!m_shown) {
        m_shown = true;
        firstShowing();
    }
}

void CSelectDlg::firstShowing() {
    const int sensors = m_state.model().working().general.jointNum;
    const report::ReportSelection selection = report::defaultReportSelection(sensors);
    m_page.setSelection(selection);
    for (int block = 0; block < kToggleCount; ++block) {
        CPictureButton* b = toggle(block);
        const bool on =
            block == 0 ? selection.controller : selection.sensors[static_cast<size_t>(block - 1)];
        const QSignalBlocker quiet(b);
        b->setChecked(on);
        // A sensor that is not connected has no block to show.
        b->setVisible(block == 0 || block <= sensors);
    }
}

void CSelectDlg::toggled(int block, bool on) {
    report::ReportSelection selection = m_page.selection();
    if (block == 0) {
        selection.controller = on;
    } else {
        selection.sensors[static_cast<size_t>(block - 1)] = on;
    }
    m_page.setSelection(selection);
    m_page.rebuild();
}

}  // namespace qavix
