#include "monitor/CMonitor.h"

#include <QLabel>

#include "model/SampleCount.h"
#include "model/ScanIntervals.h"
#include "model/VisibleBeams.h"
#include "monitor/MonitorPictures.h"
#include "widgets/FlowLayout.h"

namespace qavix {

namespace {

constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 40;
constexpr int kIconSide = 20;
constexpr int kSpacing = 10;
constexpr const char* kStartText = "START";
constexpr const char* kStopText = "STOP";

QLabel* labelFor(const QString& text, QWidget* field, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(field);
    field->setAccessibleName(text);
    return label;
}

CPictureButton* pictureButton(const QString& text, const QIcon& icon, QWidget* parent) {
    auto* b = new CPictureButton(parent);
    b->setText(text);
    b->setIcon(icon);
    b->setIconSize(QSize(kIconSide, kIconSide));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setFixedSize(kButtonWidth, kButtonHeight);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setAccessibleName(text);
    return b;
}

}  // namespace

CMonitor::CMonitor(AppState& state, CCommLink& link, CView004& page, QWidget* parent)
    : PaneView("CMonitor", parent), m_state(state), m_link(link), m_page(page) {
    // A narrow bar wraps its controls onto more rows rather than cut their captions.
    auto* row = new FlowLayout(this, kSpacing, 4);
    row->setContentsMargins(kSpacing, 4, kSpacing, 4);

    m_start = pictureButton(kStartText, startPicture(), this);
    m_start->setObjectName("button1049");
    m_clear = pictureButton(tr("クリア"), clearPicture(), this);
    m_clear->setObjectName("button1050");
    m_channelCombo = new QComboBox(this);
    m_channelCombo->setObjectName("combo1004");
    m_beamsCombo = new QComboBox(this);
    m_beamsCombo->setObjectName("combo1294");
    m_samples = new SampleCountBox(this);
    m_samples->setObjectName("edit1292");
    m_intervalCombo = new QComboBox(this);
    m_intervalCombo->setObjectName("combo1007");

    row->addWidget(keepTogether({m_start, m_clear}, this, kSpacing));
    row->addWidget(
        keepTogether({labelFor(tr("表示CH"), m_channelCombo, this), m_channelCombo}, this));
    row->addWidget(
        keepTogether({labelFor(tr("表示光軸数"), m_beamsCombo, this), m_beamsCombo}, this));
    row->addWidget(
        keepTogether({labelFor(tr("表示サンプル数"), m_samples, this), m_samples}, this));
    row->addWidget(
        keepTogether({labelFor(tr("ｻﾝﾌﾟﾘﾝｸﾞTIME"), m_intervalCombo, this), m_intervalCombo}, this));

    connect(m_start, &QToolButton::clicked, this, &CMonitor::startStop);
    connect(m_clear, &QToolButton::clicked, this, &CMonitor::clearChart);
    connect(m_channelCombo, qOverload<int>(&QComboBox::activated), this, &CMonitor::chooseChannel);
    connect(m_beamsCombo, qOverload<int>(&QComboBox::activated), this, &CMonitor::applyShown);
    connect(m_samples, qOverload<int>(&QSpinBox::valueChanged), this, [this](int value) {
        m_state.viewSample = value;
        applyShown();
    });
    connect(&m_page, &CView004::runningChanged, this, &CMonitor::onRunningChanged);
}

void CMonitor::showEvent(QShowEvent* event) {
    PaneView::showEvent(event);
    prepare();
}

void CMonitor::prepare() {
    if (m_page.running()) {
        return;
    }
    fillIntervals();
    const SettingsData& set = m_state.model().working();
    const std::array<int, 4> layout{set.general.jointNum, set.channel(0).beamCount,
                                    set.channel(1).beamCount, set.channel(2).beamCount};
    if (layout == m_layout) {
        return;
    }
    // Other sensors than last time: the stored samples no longer match the rows.
    m_layout = layout;
    fillChannels();
    chooseChannel(0);
}

void CMonitor::fillIntervals() {
    const LinkSettings settings = m_link.settings();
    const int port = std::clamp(settings.activePort, 0, kPortCount - 1);
    const int baud = settings.blocks[static_cast<size_t>(port)][0];
    const QString chosen = m_intervalCombo->currentText();
    m_intervalCombo->clear();
    for (int ms : scan::intervalsMs(baud)) {
        m_intervalCombo->addItem(QString::fromStdString(scan::intervalText(ms)));
    }
    // The choice survives a refill while the line rate still offers it; else the fastest.
    m_intervalCombo->setCurrentIndex(std::max(m_intervalCombo->findText(chosen), 0));
}

void CMonitor::fillChannels() {
    const int sensors = std::clamp(m_state.model().working().general.jointNum, 0, kChannelCount);
    m_channelCombo->clear();
    for (int c = 1; c <= std::max(sensors, 1); ++c) {
        m_channelCombo->addItem(QString("CH%1").arg(c));
    }
    if (sensors > 1) {
        m_channelCombo->addItem(tr("全CH"));
    }
    m_channelCombo->setCurrentIndex(0);
}

void CMonitor::fillBeams() {
    const int channel = m_page.channel();
    m_beamsCombo->clear();
    for (int n : visibleBeamChoices(beamTotal(m_state.model().working(), channel))) {
        m_beamsCombo->addItem(QString::number(n));
    }
    m_beamsCombo->setCurrentIndex(0);
}

int CMonitor::rowsShown() const {
    return m_beamsCombo->currentText().toInt();
}

void CMonitor::chooseChannel(int index) {
    const int sensors = std::clamp(m_state.model().working().general.jointNum, 0, kChannelCount);
    // The combo holds CH1 alone with one sensor, and also before the sensors are known.
    const int channel = index >= 0 && index < std::max(sensors, 1) ? index : kAllChannels;
    m_channelCombo->setCurrentIndex(std::max(index, 0));
    {
        const QSignalBlocker quiet(m_samples);
        m_samples->setValue(scan::kDefaultSamplesShown);
    }
    m_state.viewSample = m_samples->value();
    m_page.setChannel(channel, 0, m_samples->value());
    fillBeams();
    m_state.viewAxis = rowsShown();
    m_page.applyShown(rowsShown(), m_samples->value());
    // Without the sensors' beam counts (no initial read) there is nothing to sample.
    m_start->setEnabled(m_page.chart()->rows().count() > 0);
}

void CMonitor::applyShown() {
    m_state.viewAxis = rowsShown();
    m_page.applyShown(rowsShown(), m_samples->value());
}

void CMonitor::startStop() {
    if (m_page.running()) {
        m_page.stop();
        return;
    }
    // The samples box may still hold typed text that has not been taken.
    m_samples->interpretText();
    const auto interval = scan::parseIntervalText(m_intervalCombo->currentText().toStdString());
    if (!interval) {
        return;
    }
    applyShown();
    m_page.start(*interval);
}

void CMonitor::clearChart() {
    m_samples->interpretText();
    m_page.clear(rowsShown(), m_samples->value());
}

void CMonitor::onRunningChanged(bool running) {
    m_start->setText(running ? kStopText : kStartText);
    m_start->setAccessibleName(m_start->text());
    m_start->setIcon(running ? stopPicture() : startPicture());
    for (QWidget* w : std::initializer_list<QWidget*>{m_clear, m_channelCombo, m_beamsCombo,
                                                      m_samples, m_intervalCombo}) {
        w->setEnabled(!running);
    }
}

}  // namespace qavix
