#include "frame/CInfoDialogBar.h"

#include <QGridLayout>

#include "model/VisibleBeams.h"

namespace qavix {

CInfoDialogBar::CInfoDialogBar(QWidget* parent)
    : DialogBar("CInfoDialogBar", tr("インフォメーション"), parent) {
    auto* panel = new QWidget(this);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(4, 0, 4, 0);
    row->setSpacing(12);
    const QFont font("Noto Sans CJK JP", 9);
    for (int ch = 0; ch < kChannelCount; ++ch) {
        auto* column = new QWidget(panel);
        auto* grid = new QGridLayout(column);
        grid->setContentsMargins(0, 0, 0, 0);
        grid->setHorizontalSpacing(6);
        grid->setVerticalSpacing(0);
        auto* heading = new QLabel(QString("CH%1").arg(ch + 1), column);
        heading->setFont(QFont("Noto Sans CJK JP", 9, QFont::Bold));
        heading->setObjectName(QString("ch%1_heading").arg(ch + 1));
        heading->setAlignment(Qt::AlignCenter);
        heading->setContentsMargins(3, 0, 3, 0);
        m_headings[static_cast<size_t>(ch)] = heading;
        grid->addWidget(heading, 0, 0, 2, 1);
        const char* captions[2] = {QT_TRANSLATE_NOOP("qavix::CInfoDialogBar", "光軸数"),
                                   QT_TRANSLATE_NOOP("qavix::CInfoDialogBar", "ピッチ")};
        for (int k = 0; k < 2; ++k) {
            auto* caption = new QLabel(tr(captions[k]), column);
            caption->setFont(font);
            auto* value = new QLabel("-", column);
            value->setFont(font);
            value->setMinimumWidth(44);
            value->setFrameShape(QFrame::StyledPanel);
            value->setAlignment(Qt::AlignCenter);
            value->setObjectName(QString("ch%1_%2").arg(ch + 1).arg(k == 0 ? "beams" : "pitch"));
            grid->addWidget(caption, k, 1);
            grid->addWidget(value, k, 2);
            m_values[static_cast<size_t>(2 * ch + k)] = value;
        }
        row->addWidget(column);
        m_columns[static_cast<size_t>(ch)] = column;
    }
    addWidget(panel);
}

void CInfoDialogBar::updateField(int field, const SettingsData& set) {
    if (field < 0 || field >= kFieldCount) {
        return;
    }
    const ChannelRecord& ch = set.channel(field / 2);
    const QString text =
        field % 2 == 0 ? QString::number(ch.beamCount) : QString::fromStdString(ch.pitchText);
    m_values[static_cast<size_t>(field)]->setText(text);
}

void CInfoDialogBar::fillAll(const SettingsData& set) {
    for (int field : {0, 2, 4, 1, 3, 5}) {
        updateField(field, set);
    }
}

void CInfoDialogBar::layoutFor(int sensorCount) {
    m_columns[1]->setVisible(sensorCount >= 2);
    m_columns[2]->setVisible(sensorCount >= 3);
}

void CInfoDialogBar::showChannel(int channel, const SettingsData& set) {
    m_shownChannel = channel;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        QLabel* heading = m_headings[static_cast<size_t>(ch)];
        const bool marked = channelMarked(ch);
        // The selection colours, as a list marks its current row.
        heading->setAutoFillBackground(marked);
        heading->setBackgroundRole(marked ? QPalette::Highlight : QPalette::Window);
        heading->setForegroundRole(marked ? QPalette::HighlightedText : QPalette::WindowText);
        heading->setAccessibleDescription(marked ? tr("表示中") : QString());
        if (marked) {
            updateField(2 * ch, set);
            updateField(2 * ch + 1, set);
        }
    }
}

bool CInfoDialogBar::channelMarked(int channel) const {
    return m_shownChannel == channel || (m_shownChannel == kAllChannels && channel >= 0);
}

bool CInfoDialogBar::channelShown(int channel) const {
    return !m_columns.at(static_cast<size_t>(channel - 1))->isHidden();
}

}  // namespace qavix
