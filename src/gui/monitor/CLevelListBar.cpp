#include "monitor/CLevelListBar.h"

#include <QLabel>

#include "monitor/MonitorPictures.h"
#include "widgets/FlowLayout.h"

namespace qavix {

namespace {

constexpr int kButtonHeight = 28;
constexpr int kButtonWidth = 76;
constexpr int kWideButtonWidth = 96;

CPictureButton* makeButton(const QString& text, const QString& name, int width, QWidget* parent) {
    auto* b = new CPictureButton(parent);
    b->setText(text);
    b->setAccessibleName(text);
    b->setObjectName(name);
    b->setFixedSize(width, kButtonHeight);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

}  // namespace

CLevelListBar::CLevelListBar(QWidget* parent) : QWidget(parent) {
    setObjectName("levelListCommands");
    auto* row = new FlowLayout(this, 6, 2);
    row->setContentsMargins(0, 2, 0, 2);
    m_update = makeButton(tr("更新"), "listUpdate", kButtonWidth, this);
    m_continuous = makeButton(tr("連続更新"), "listContinuous", kWideButtonWidth, this);
    m_continuous->setIcon(startPicture());
    m_continuous->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto* label = new QLabel(tr("表示CH(&C)"), this);
    m_channel = new QComboBox(this);
    m_channel->setObjectName("listChannel");
    m_channel->setAccessibleName(tr("表示CH"));
    m_channel->addItems({"CH1", "CH2", "CH3", tr("全CH")});
    label->setBuddy(m_channel);
    m_write = makeButton(tr("書込み"), "listWrite", kButtonWidth, this);
    m_cancel = makeButton(tr("取消し"), "listCancel", kButtonWidth, this);
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_update, m_continuous, keepTogether({label, m_channel}, this), m_write, m_cancel}) {
        row->addWidget(w);
    }
    showIdle(false);
}

void CLevelListBar::showIdle(bool edited) {
    m_update->setEnabled(true);
    m_continuous->setEnabled(true);
    m_continuous->setText(tr("連続更新"));
    m_continuous->setAccessibleName(tr("連続更新"));
    m_continuous->setIcon(startPicture());
    m_channel->setEnabled(true);
    m_write->setEnabled(edited);
    m_cancel->setEnabled(edited);
}

void CLevelListBar::showRunning() {
    m_update->setEnabled(false);
    m_channel->setEnabled(false);
    m_write->setEnabled(false);
    m_cancel->setEnabled(false);
    m_continuous->setEnabled(true);
    m_continuous->setText(tr("停止"));
    m_continuous->setAccessibleName(tr("停止"));
    m_continuous->setIcon(stopPicture());
}

void CLevelListBar::setWriteText(const QString& text) {
    m_write->setText(text);
    m_write->setAccessibleName(text);
}

}  // namespace qavix
