#include "monitor/BeamCommandBars.h"

#include <QButtonGroup>
#include <QVBoxLayout>

#include "widgets/FlowLayout.h"

#include "model/PageEditState.h"
#include "monitor/BeamPage.h"
#include "monitor/CView007.h"
#include "monitor/ChartGeometry.h"

namespace qavix {

namespace {

constexpr int kButtonHeight = 28;
constexpr int kMinButtonWidth = 40;
constexpr int kComboCharacters = 4;
constexpr int kTitleWidth = 150;
constexpr int kInitialScaleIndex = 1;  // 100 %

// Control ids of the bars, kept as object names for tests and tools.
enum ControlId : int {
    kIdChannel = 1004,
    kIdScale = 1029,
    kIdRatio = 1032,
    kIdAbsolute = 1033,
    kIdCancel = 1024,
    kIdLabel1 = 1039,
    kIdLabel2 = 1040,
    kIdLegend = 1041,
    kIdWrite = 1044,
    kIdClear = 1050,
    kIdUpdate = 1053,
    kIdIncident = 1054,
    kIdBlocked = 1055,
    kIdTitle = 1280,
    kIdVisible = 1294,
};

QLabel* labelFor(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

}  // namespace

CPictureButton* BeamCommandBar::makeButton(const QString& text, int id, QWidget* parent) {
    auto* b = new CPictureButton(parent);
    b->setText(text);
    b->setAccessibleName(text);
    b->setObjectName(QString("button%1").arg(id));
    b->setFixedHeight(kButtonHeight);
    b->setMinimumWidth(kMinButtonWidth);
    b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setMaximumWidth(b->sizeHint().width());
    return b;
}

QComboBox* BeamCommandBar::makeCombo(int id, const QString& name, QWidget* parent) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString("combo%1").arg(id));
    c->setAccessibleName(name);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(kComboCharacters);
    return c;
}

BeamCommandBar::BeamCommandBar(const QString& className, AppState& state, BeamPage& page,
                               std::function<void(int)> closeTo, QWidget* parent)
    : PaneView(className, parent), m_state(state), m_page(page), m_closeTo(std::move(closeTo)) {
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(8, 2, 8, 2);
    rows->setSpacing(4);
    // Each row wraps on its own where the bar is narrow.
    m_top = new FlowLayout(nullptr, 6, 2);
    m_bottom = new FlowLayout(nullptr, 2, 2);
    rows->addLayout(m_top);
    rows->addLayout(m_bottom);

    const QFont bold("Noto Sans CJK JP", 11, QFont::Bold);
    m_label1 = new QLabel(this);
    m_label1->setObjectName(QString("static%1").arg(kIdLabel1));
    m_label1->setFont(bold);
    m_label2 = new QLabel(this);
    m_label2->setObjectName(QString("static%1").arg(kIdLabel2));
    m_label2->setFont(bold);
    m_title = new QLineEdit(this);
    m_title->setObjectName(QString("edit%1").arg(kIdTitle));
    m_title->setReadOnly(true);
    m_title->setFixedWidth(kTitleWidth);
    m_title->setAccessibleName(tr("開いたページ"));
    m_channel = makeCombo(kIdChannel, tr("表示CH"), this);
    m_top->addWidget(m_label1);
    m_top->addWidget(m_label2);
    m_top->addWidget(m_title);
    m_top->addWidget(keepTogether({labelFor(tr("表示CH"), m_channel, this), m_channel}, this));

    m_update = makeButton(tr("更新"), kIdUpdate, this);
    m_incident = makeButton(tr("入光光軸"), kIdIncident, this);
    m_blocked = makeButton(tr("遮光光軸"), kIdBlocked, this);
    m_clear = makeButton(tr("クリア"), kIdClear, this);
    m_write = makeButton(tr("書込み"), kIdWrite, this);
    m_cancel = makeButton(tr(kCloseText), kIdCancel, this);
    for (QWidget* w : {m_update, m_incident, m_blocked, m_clear}) {
        m_bottom->addWidget(w);
    }

    connect(m_update, &QToolButton::clicked, this, &BeamCommandBar::update);
    connect(m_incident, &QToolButton::clicked, this,
            [this] { m_page.designate(beams::Designation::Incident); });
    connect(m_blocked, &QToolButton::clicked, this,
            [this] { m_page.designate(beams::Designation::Blocked); });
    connect(m_clear, &QToolButton::clicked, this, [this] { m_page.clearPicks(); });
    connect(m_write, &QToolButton::clicked, this, &BeamCommandBar::write);
    connect(m_cancel, &QToolButton::clicked, this, &BeamCommandBar::cancelOrClose);
    connect(&m_page, &BeamPage::picksEdited, this, [this] { showEdited(true); });
    connect(&m_page, &BeamPage::opened, this, &BeamCommandBar::pageOpened);
    setMinimumHeight(0);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
}

void BeamCommandBar::pageShown(const QString& title) {
    m_title->setText(title);
}

void BeamCommandBar::pageOpened() {
    const bool designated = m_page.table() == BeamFlagTable::Designated;
    m_label1->setText(designated ? tr("指定光軸") : tr("ブランキング"));
    m_label2->setText(designated ? tr("　設定") : tr("光軸設定"));
    const int sensors = levels::connectedSensors(m_state.model().working());
    {
        const QSignalBlocker block(m_channel);
        m_channel->clear();
        for (int s = 1; s <= sensors; ++s) {
            m_channel->addItem(QString("CH%1").arg(s));
        }
        m_channel->addItem(tr("全CH"));
        const int channel = m_page.channel();
        m_channel->setCurrentIndex(channel == beams::kAllSensors ? sensors
                                                                 : std::min(channel, sensors));
    }
    m_write->setText(writeButtonText(m_state.model().selectedSet()));
    m_write->setAccessibleName(m_write->text());
    showEdited(false);
}

void BeamCommandBar::showEdited(bool edited) {
    m_write->setEnabled(edited);
    m_cancel->setText(edited ? tr(kCancelText) : tr(kCloseText));
    m_cancel->setAccessibleName(m_cancel->text());
}

void BeamCommandBar::setControlsEnabled(bool on) {
    for (QWidget* w : {static_cast<QWidget*>(m_channel), static_cast<QWidget*>(m_update),
                       static_cast<QWidget*>(m_incident), static_cast<QWidget*>(m_blocked),
                       static_cast<QWidget*>(m_clear), static_cast<QWidget*>(m_cancel)}) {
        w->setEnabled(on);
    }
    m_write->setEnabled(on && m_page.edited());
}

void BeamCommandBar::update() {
    const int channel =
        levels::channelOfComboIndex(m_channel->currentIndex(), m_state.model().working());
    setControlsEnabled(false);
    m_page.update(channel);
    setControlsEnabled(true);
}

void BeamCommandBar::write() {
    setControlsEnabled(false);
    const bool ok = m_page.write();
    setControlsEnabled(true);
    showEdited(!ok);
}

void BeamCommandBar::cancelOrClose() {
    if (m_page.edited()) {
        m_page.revert();
        showEdited(false);
        return;
    }
    const std::string title = m_title->text().toStdString();
    switch (beams::returnTarget(title, m_listBar)) {
        case beams::ReturnTarget::OverallJudgement:
            m_closeTo(kOverallJudgementPage);
            break;
        case beams::ReturnTarget::SensorOperation:
            m_closeTo(kSensorOperationPage);
            break;
        case beams::ReturnTarget::None:
            break;
    }
}

CBrkCommand::CBrkCommand(AppState& state, CView007& page, std::function<void(int)> closeTo,
                         QWidget* parent)
    : BeamCommandBar("CBrkCommand", state, page, std::move(closeTo), parent), m_chartPage(page) {
    m_visible = makeCombo(kIdVisible, tr("表示光軸数"), this);
    m_ratio = new QRadioButton(tr("比率"), this);
    m_ratio->setObjectName(QString("radio%1").arg(kIdRatio));
    m_ratio->setAccessibleName(tr("比率"));
    m_absolute = new QRadioButton(tr("絶対値"), this);
    m_absolute->setObjectName(QString("radio%1").arg(kIdAbsolute));
    m_absolute->setAccessibleName(tr("絶対値"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_ratio);
    group->addButton(m_absolute);
    m_ratio->setChecked(true);
    // The scale list has no caption of its own; its entries say what it is.
    m_scale = makeCombo(kIdScale, tr("スケール"), this);
    for (int step = chart::kMinScaleStep; step <= chart::kMaxScaleStep; ++step) {
        m_scale->addItem(QString("%1%").arg(step * chart::kPercentPerStep));
    }
    m_scale->setCurrentIndex(kInitialScaleIndex);
    m_legend = makeButton(tr("凡例"), kIdLegend, this);
    topRow()->addWidget(
        keepTogether({labelFor(tr("表示光軸数"), m_visible, this), m_visible}, this));
    topRow()->addWidget(keepTogether({m_ratio, m_absolute, m_scale}, this));
    bottomRow()->addWidget(m_legend);
    bottomRow()->addAligned(keepTogether({writeButton(), cancelButton()}, this, 2), Qt::AlignRight);

    connect(m_ratio, &QRadioButton::clicked, this, [this] {
        m_scale->setVisible(true);
        m_chartPage.setDisplayMode(true);
    });
    connect(m_absolute, &QRadioButton::clicked, this, [this] {
        m_scale->setVisible(false);
        m_chartPage.setDisplayMode(false);
    });
    connect(m_scale, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { m_chartPage.setScaleStep(index + 1); });
    connect(m_visible, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { m_chartPage.setVisibleBars(m_visible->itemText(index).toInt()); });
    connect(m_legend, &QToolButton::clicked, this, [this] { m_chartPage.showLegend(); });
    connect(&page, &BeamPage::opened, this, &CBrkCommand::fillVisibleChoices);
    connect(updateButton(), &QToolButton::clicked, this, &CBrkCommand::fillVisibleChoices);
}

void CBrkCommand::fillVisibleChoices() {
    const QSignalBlocker block(m_visible);
    m_visible->clear();
    for (int n : visibleBeamChoices(page().range().chartBars())) {
        m_visible->addItem(QString::number(n));
    }
    const int index = m_visible->findText(QString::number(m_chartPage.chart()->visibleBars()));
    m_visible->setCurrentIndex(std::max(index, 0));
    const QSignalBlocker a(m_ratio);
    const QSignalBlocker b(m_absolute);
    (page().ratioDisplay() ? m_ratio : m_absolute)->setChecked(true);
    m_scale->setVisible(page().ratioDisplay());
}

void CBrkCommand::setControlsEnabled(bool on) {
    BeamCommandBar::setControlsEnabled(on);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_visible, m_ratio, m_absolute, m_scale, m_legend}) {
        w->setEnabled(on);
    }
}

CBrkCmdList::CBrkCmdList(AppState& state, BeamPage& page, std::function<void(int)> closeTo,
                         QWidget* parent)
    : BeamCommandBar("CBrkCmdList", state, page, std::move(closeTo), parent) {
    setListBar(true);
    bottomRow()->addAligned(keepTogether({writeButton(), cancelButton()}, this, 2), Qt::AlignRight);
}

}  // namespace qavix
