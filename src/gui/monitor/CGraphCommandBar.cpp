#include "monitor/CGraphCommandBar.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>

#include "monitor/ChartGeometry.h"
#include "monitor/PlayStopPictures.h"

namespace qavix {

namespace {

constexpr int kButtonHeight = 28;
constexpr int kButtonWidth = 76;
constexpr int kWideButtonWidth = 96;
constexpr int kInitialScaleIndex = 1;  // 100 %

CPictureButton* makeButton(const QString& text, const QString& name, int width, QWidget* parent) {
    auto* b = new CPictureButton(parent);
    b->setText(text);
    b->setAccessibleName(text);
    b->setObjectName(name);
    b->setFixedSize(width, kButtonHeight);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

QComboBox* makeCombo(const QString& name, QLabel* label, QWidget* parent) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setAccessibleName(label->text());
    label->setBuddy(c);
    return c;
}

}  // namespace

CGraphCommandBar::CGraphCommandBar(QWidget* parent) : QWidget(parent) {
    setObjectName("graphCommands");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 2, 0, 2);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    // Upper row: what is shown.
    auto* top = new QHBoxLayout;
    auto* channelLabel = new QLabel("表示CH(&C)", this);
    m_channel = makeCombo("combo1004", channelLabel, this);
    m_channel->addItems({"CH1", "CH2", "CH3", "全CH"});
    auto* visibleLabel = new QLabel("表示光軸数(&N)", this);
    m_visible = makeCombo("combo1294", visibleLabel, this);
    m_ratio = new QRadioButton("比率(&R)", this);
    m_ratio->setObjectName("radio1032");
    m_ratio->setAccessibleName("比率");
    m_absolute = new QRadioButton("絶対値(&A)", this);
    m_absolute->setObjectName("radio1033");
    m_absolute->setAccessibleName("絶対値");
    auto* group = new QButtonGroup(this);
    group->addButton(m_ratio);
    group->addButton(m_absolute);
    m_ratio->setChecked(true);
    m_scaleLabel = new QLabel("スケール(&S)", this);
    m_scale = makeCombo("combo1029", m_scaleLabel, this);
    for (int step = chart::kMinScaleStep; step <= chart::kMaxScaleStep; ++step) {
        m_scale->addItem(QString("%1%").arg(step * chart::kPercentPerStep));
    }
    m_scale->setCurrentIndex(kInitialScaleIndex);
    for (QWidget* w :
         std::initializer_list<QWidget*>{channelLabel, m_channel, visibleLabel, m_visible, m_ratio,
                                         m_absolute, m_scaleLabel, m_scale}) {
        top->addWidget(w);
    }
    top->addStretch(1);

    // Lower row: what to do.
    auto* bottom = new QHBoxLayout;
    m_continuous = makeButton("連続更新", "button1025", kWideButtonWidth, this);
    m_continuous->setIcon(playPicture());
    m_continuous->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_update = makeButton("更新", "button1026", kButtonWidth, this);
    m_individual = makeButton("個別設定", "button1043", kButtonWidth, this);
    m_sensitivity = makeButton("感度設定", "button1295", kButtonWidth, this);
    m_batch = makeButton("一括設定", "button1042", kButtonWidth, this);
    m_save = makeButton("保存", "button1048", kButtonWidth, this);
    m_image = makeButton("画像保存", "buttonImage", kButtonWidth, this);
    m_legend = makeButton("凡例", "button1041", kButtonWidth, this);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_continuous, m_update, m_individual, m_sensitivity,
                                         m_batch, m_save, m_image, m_legend}) {
        bottom->addWidget(w);
    }
    bottom->addStretch(1);

    grid->addLayout(top, 0, 0);
    grid->addLayout(bottom, 1, 0);
}

void CGraphCommandBar::setAllEnabled(bool on) {
    for (QWidget* w : findChildren<QWidget*>()) {
        w->setEnabled(on);
    }
}

void CGraphCommandBar::enableIdle(bool tuningAvailable, bool ratioDisplay) {
    setAllEnabled(true);
    m_individual->setEnabled(tuningAvailable);
    m_sensitivity->setEnabled(tuningAvailable);
    m_batch->setEnabled(tuningAvailable && ratioDisplay);
}

void CGraphCommandBar::enableRunning() {
    setAllEnabled(false);
    m_continuous->setEnabled(true);
}

void CGraphCommandBar::showRunning(bool running) {
    m_continuous->setText(running ? "停止" : "連続更新");
    m_continuous->setAccessibleName(m_continuous->text());
    m_continuous->setIcon(running ? stopPicture() : playPicture());
}

void CGraphCommandBar::showRatio(bool ratio) {
    const QSignalBlocker a(m_ratio);
    const QSignalBlocker b(m_absolute);
    (ratio ? m_ratio : m_absolute)->setChecked(true);
    m_scale->setVisible(ratio);
    m_scaleLabel->setVisible(ratio);
}

void CGraphCommandBar::setVisibleChoices(const std::vector<int>& choices) {
    const QSignalBlocker block(m_visible);
    m_visible->clear();
    for (int n : choices) {
        m_visible->addItem(QString::number(n));
    }
    m_visible->setCurrentIndex(choices.empty() ? -1 : 0);
}

}  // namespace qavix
