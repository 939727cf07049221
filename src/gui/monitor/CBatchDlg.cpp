#include "monitor/CBatchDlg.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "monitor/CChartWnd.h"
#include "monitor/CThresholdTuning.h"
#include "monitor/ThresholdTuning.h"

namespace qavix {

namespace {

const char* const kClose = QT_TRANSLATE_NOOP("qavix::CBatchDlg", "閉じる");
const char* const kCancel = QT_TRANSLATE_NOOP("qavix::CBatchDlg", "取消し");
constexpr int kPercentEditWidth = 90;
constexpr int kSliderMinWidth = 380;

QPushButton* button(const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAccessibleName(text);
    // Enter belongs to the percentage box: it takes the typed value, it closes nothing.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

}  // namespace

CBatchDlg::CBatchDlg(CThresholdTuning& tuning, QWidget* parent)
    : QDialog(parent), m_tuning(tuning) {
    setObjectName("CBatchDlg");
    setWindowTitle(tr("しきい値設定グラフモード一括設定"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    buildReference(layout);
    buildPercent(layout);
    buildButtons(layout);
    readStartingValues();
    connectControls();
}

void CBatchDlg::buildReference(QVBoxLayout* layout) {
    auto* group = new QGroupBox(tr(" 基準しきい値 "), this);
    auto* groupLayout = new QHBoxLayout(group);
    m_on = new QRadioButton("ON", group);
    m_off = new QRadioButton("OFF", group);
    m_on->setAccessibleName("ON");
    m_off->setAccessibleName("OFF");
    auto* references = new QButtonGroup(this);
    references->addButton(m_on);
    references->addButton(m_off);
    groupLayout->addWidget(m_on);
    groupLayout->addWidget(m_off);
    groupLayout->addStretch(1);
    layout->addWidget(group);
}

void CBatchDlg::buildPercent(QVBoxLayout* layout) {
    auto* percentRow = new QHBoxLayout;
    auto* percentLabel = new QLabel(tr("しきい値(&P)"), this);
    m_edit = new QLineEdit(this);
    m_edit->setAccessibleName(tr("しきい値"));
    m_edit->setMaximumWidth(kPercentEditWidth);
    m_edit->setAlignment(Qt::AlignRight);
    percentLabel->setBuddy(m_edit);
    percentRow->addWidget(percentLabel);
    percentRow->addWidget(m_edit);
    percentRow->addStretch(1);
    layout->addLayout(percentRow);

    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setRange(0, tuning::kSliderMax);
    m_slider->setPageStep(1);
    m_slider->setAccessibleName(tr("しきい値スライダー"));
    m_slider->setMinimumWidth(kSliderMinWidth);
    layout->addWidget(m_slider);
    // The scale marks sit under their slider positions: 100 % is at 100 of 190.
    auto* scale = new QHBoxLayout;
    scale->addWidget(new QLabel("0%", this));
    scale->addStretch(tuning::kLinearSliderEnd);
    scale->addWidget(new QLabel("100%", this));
    scale->addStretch(tuning::kSliderMax - tuning::kLinearSliderEnd);
    scale->addWidget(new QLabel("1000%", this));
    layout->addLayout(scale);
}

void CBatchDlg::buildButtons(QVBoxLayout* layout) {
    auto* presets = new QHBoxLayout;
    m_blockedMax = button(tr("遮光最大感度"), this);
    m_incidentMax = button(tr("入光最大感度"), this);
    m_zeroReset = button(tr("ゼロリセット"), this);
    presets->addWidget(m_blockedMax);
    presets->addWidget(m_incidentMax);
    presets->addWidget(m_zeroReset);
    layout->addLayout(presets);

    auto* actions = new QHBoxLayout;
    actions->addStretch(1);
    m_write = button(tr("書込み"), this);
    m_cancel = button(tr(kClose), this);
    actions->addWidget(m_write);
    actions->addWidget(m_cancel);
    layout->addLayout(actions);
}

void CBatchDlg::readStartingValues() {
    // Opening: the reference from CH1's TH_CNF, the percentages from the chart's first
    // beams of each shown sensor.
    const SettingsData& set = m_tuning.working();
    m_onReference = set.channel(0).thCnf != 0;
    m_initialReference = m_onReference;
    std::vector<std::vector<int32_t>> onSamples;
    std::vector<std::vector<int32_t>> offSamples;
    for (int s : m_tuning.sensors()) {
        const int n =
            std::min(std::clamp(set.channel(s).beamCount, 0, kMaxBeams), tuning::kSampleBeams);
        std::vector<int32_t> on;
        std::vector<int32_t> off;
        for (int b = 0; b < n; ++b) {
            on.push_back(m_tuning.chart().thresholds(s, b).on);
            off.push_back(m_tuning.chart().thresholds(s, b).off);
        }
        onSamples.push_back(on);
        offSamples.push_back(off);
    }
    m_resultOn = m_initialOn = tuning::startingPercent(onSamples);
    m_resultOff = m_initialOff = tuning::startingPercent(offSamples);
    m_percent = m_onReference ? m_resultOn : m_resultOff;
    (m_onReference ? m_on : m_off)->setChecked(true);
    m_write->setEnabled(false);
    showPercent();
}

void CBatchDlg::connectControls() {
    connect(m_slider, &QSlider::valueChanged, this, &CBatchDlg::moveSlider);
    connect(m_edit, &QLineEdit::editingFinished, this, [this] { typePercent(m_edit->text()); });
    connect(m_on, &QRadioButton::clicked, this, [this] { chooseReference(true); });
    connect(m_off, &QRadioButton::clicked, this, [this] { chooseReference(false); });
    connect(m_cancel, &QPushButton::clicked, this, &CBatchDlg::cancelOrClose);
    connect(m_write, &QPushButton::clicked, this,
            [this] { teach(static_cast<int>(tuning::TeachMode::Ratio)); });
    connect(m_blockedMax, &QPushButton::clicked, this,
            [this] { teach(static_cast<int>(tuning::TeachMode::BlockedMax)); });
    connect(m_incidentMax, &QPushButton::clicked, this,
            [this] { teach(static_cast<int>(tuning::TeachMode::IncidentMax)); });
    connect(m_zeroReset, &QPushButton::clicked, this,
            [this] { teach(static_cast<int>(tuning::TeachMode::ZeroReset)); });
}

void CBatchDlg::computeResults() {
    const std::vector<int> sensors = m_tuning.sensors();
    const SettingsData& set = m_tuning.working();
    const int32_t zero = tuning::typicalZeroPoint(set, sensors);
    const int32_t hys = tuning::meanHysteresis(set, sensors);
    m_resultOn = tuning::resultingPercent(m_percent, m_onReference, true, zero, hys);
    m_resultOff = tuning::resultingPercent(m_percent, m_onReference, false, zero, hys);
}

void CBatchDlg::startPreview() {
    m_previewing = true;
    m_write->setEnabled(true);
    m_cancel->setText(tr(kCancel));
    m_cancel->setAccessibleName(tr(kCancel));
    m_tuning.preview(m_percent, m_onReference);
}

void CBatchDlg::showPercent() {
    m_edit->setText(QString("%1%").arg(m_percent));
    const QSignalBlocker block(m_slider);
    m_slider->setValue(tuning::percentToSlider(m_percent));
}

void CBatchDlg::moveSlider(int position) {
    m_percent = tuning::sliderToPercent(position);
    computeResults();
    startPreview();
    m_edit->setText(QString("%1%").arg(m_percent));
}

void CBatchDlg::typePercent(const QString& text) {
    const QString digits = text.trimmed().remove(QRegularExpression("%$")).trimmed();
    bool ok = false;
    const int typed = digits.toInt(&ok);
    if (!ok) {
        // Not a number: the box shows the percentage in force again.
        showPercent();
        return;
    }
    if (typed == m_percent) {
        showPercent();
        return;
    }
    m_percent = std::clamp(typed, 0, tuning::kPercentMax);
    computeResults();
    startPreview();
    showPercent();
}

void CBatchDlg::chooseReference(bool on) {
    if (on == m_onReference) {
        (on ? m_on : m_off)->setChecked(true);
        return;
    }
    m_onReference = on;
    m_percent = on ? m_resultOn : m_resultOff;
    computeResults();
    startPreview();
    showPercent();
}

void CBatchDlg::cancelOrClose() {
    if (!m_previewing) {
        done(Closed);
        return;
    }
    m_tuning.restorePreview();
    m_onReference = m_initialReference;
    (m_onReference ? m_on : m_off)->setChecked(true);
    m_resultOn = m_initialOn;
    m_resultOff = m_initialOff;
    m_percent = m_onReference ? m_resultOn : m_resultOff;
    m_tuning.reloadThresholds();
    showPercent();
    m_previewing = false;
    m_cancel->setText(tr(kClose));
    m_cancel->setAccessibleName(tr(kClose));
    m_write->setEnabled(false);
}

void CBatchDlg::reject() {
    // Escape or the window's close box: nothing previewed stays on the chart.
    if (m_previewing) {
        m_tuning.restorePreview();
    }
    done(Closed);
}

void CBatchDlg::teach(int mode) {
    m_tuning.teach(static_cast<tuning::TeachMode>(mode), m_onReference, m_percent);
    m_previewing = false;
    m_cancel->setText(tr(kClose));
    m_write->setEnabled(false);
    done(Taught);
}

}  // namespace qavix
