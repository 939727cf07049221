#include "monitor/CGraphCommandBar.h"

#include <QButtonGroup>
#include <QVBoxLayout>

#include "monitor/ChartGeometry.h"
#include "monitor/MonitorPictures.h"
#include "widgets/FlowLayout.h"

namespace qavix {

namespace {

constexpr int kButtonHeight = 28;
constexpr int kInitialScaleIndex = 1;  // 100 %
constexpr int kComboCharacters = 3;

CPictureButton* makeButton(const QString& text, const QString& name, QWidget* parent) {
    auto* b = new CPictureButton(parent);
    b->setText(text);
    b->setAccessibleName(text);
    b->setObjectName(name);
    b->setFixedHeight(kButtonHeight);
    // As wide as the text needs: a short row wraps instead of squeezing the text.
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

QComboBox* makeCombo(const QString& name, const QString& accessibleName, QWidget* parent) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setAccessibleName(accessibleName);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(kComboCharacters);
    return c;
}

QLabel* labelFor(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

}  // namespace

CGraphCommandBar::CGraphCommandBar(QWidget* parent) : QWidget(parent) {
    setObjectName("graphCommands");
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 2, 0, 2);
    rows->setSpacing(4);
    // Each row wraps on its own where the bar is narrow.
    rows->addLayout(buildShownRow());
    rows->addLayout(buildActionRow());
}

FlowLayout* CGraphCommandBar::buildShownRow() {
    auto* top = new FlowLayout(nullptr, 6, 2);
    m_channel = makeCombo("combo1004", tr("表示CH"), this);
    auto* channelLabel = labelFor(tr("表示CH"), m_channel, this);
    m_channel->addItems({"CH1", "CH2", "CH3", tr("全CH")});
    m_visible = makeCombo("combo1294", tr("表示光軸数"), this);
    auto* visibleLabel = labelFor(tr("表示光軸数"), m_visible, this);
    m_ratio = new QRadioButton(tr("比率"), this);
    m_ratio->setObjectName("radio1032");
    m_ratio->setAccessibleName(tr("比率"));
    m_absolute = new QRadioButton(tr("絶対値"), this);
    m_absolute->setObjectName("radio1033");
    m_absolute->setAccessibleName(tr("絶対値"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_ratio);
    group->addButton(m_absolute);
    m_ratio->setChecked(true);
    // The scale list has no caption of its own; its entries say what it is.
    m_scale = makeCombo("combo1029", tr("スケール"), this);
    for (int step = chart::kMinScaleStep; step <= chart::kMaxScaleStep; ++step) {
        m_scale->addItem(QString("%1%").arg(step * chart::kPercentPerStep));
    }
    m_scale->setCurrentIndex(kInitialScaleIndex);
    top->addWidget(keepTogether({channelLabel, m_channel}, this));
    top->addWidget(keepTogether({visibleLabel, m_visible}, this));
    top->addWidget(keepTogether({m_ratio, m_absolute, m_scale}, this));
    return top;
}

FlowLayout* CGraphCommandBar::buildActionRow() {
    auto* bottom = new FlowLayout(nullptr, 2, 2);
    m_continuous = makeButton(tr("連続更新"), "button1025", this);
    m_continuous->setIcon(startPicture());
    m_continuous->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_update = makeButton(tr("更新"), "button1026", this);
    m_individual = makeButton(tr("個別設定"), "button1043", this);
    m_sensitivity = makeButton(tr("感度設定"), "button1295", this);
    m_batch = makeButton(tr("一括設定"), "button1042", this);
    m_save = makeButton(tr("保存"), "button1048", this);
    m_image = makeButton(tr("画像保存"), "buttonImage", this);
    m_legend = makeButton(tr("凡例"), "button1041", this);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_continuous, m_update, m_individual, m_sensitivity,
                                         m_batch, m_save, m_image, m_legend}) {
        bottom->addWidget(w);
    }
    return bottom;
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
    m_continuous->setText(running ? tr("停止") : tr("連続更新"));
    m_continuous->setAccessibleName(m_continuous->text());
    m_continuous->setIcon(running ? stopPicture() : startPicture());
}

void CGraphCommandBar::showRatio(bool ratio) {
    const QSignalBlocker a(m_ratio);
    const QSignalBlocker b(m_absolute);
    (ratio ? m_ratio : m_absolute)->setChecked(true);
    m_scale->setVisible(ratio);
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
