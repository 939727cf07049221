#include "monitor/CLegendDlg.h"

#include <QGridLayout>
#include <QPushButton>

#include "monitor/DisplayColours.h"

namespace qavix {

namespace {

struct Entry {
    const char* text;
    ColorIndex colour;
};

constexpr Entry kEntries[CLegendDlg::kEntryCount] = {
    {QT_TRANSLATE_NOOP("qavix::CLegendDlg", "入光"), kColorNyukou},
    {QT_TRANSLATE_NOOP("qavix::CLegendDlg", "不安定状態"), kColorFuantei},
    {QT_TRANSLATE_NOOP("qavix::CLegendDlg", "遮光"), kColorSyakou},
    {QT_TRANSLATE_NOOP("qavix::CLegendDlg", "ブランキング光軸"), kColorBlankBar},
    {QT_TRANSLATE_NOOP("qavix::CLegendDlg", "ONスレッシュ"), kColorOn},
    {QT_TRANSLATE_NOOP("qavix::CLegendDlg", "OFFスレッシュ"), kColorOff},
};

constexpr int kBoxWidth = 36;
constexpr int kBoxHeight = 16;

}  // namespace

CLegendDlg::CLegendDlg(const AppSettings& user, QWidget* parent) : QDialog(parent), m_user(user) {
    setObjectName("CLegendDlg");
    setWindowTitle(tr("凡例"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* grid = new QGridLayout(this);
    for (int i = 0; i < kEntryCount; ++i) {
        m_colours[static_cast<size_t>(i)] = kEntries[i].colour;
        m_boxes[static_cast<size_t>(i)] = new QLabel(this);
        m_boxes[static_cast<size_t>(i)]->setFixedSize(kBoxWidth, kBoxHeight);
        m_boxes[static_cast<size_t>(i)]->setFrameShape(QFrame::Box);
        m_boxes[static_cast<size_t>(i)]->setAutoFillBackground(true);
        m_boxes[static_cast<size_t>(i)]->setAccessibleName(tr(kEntries[i].text));
        m_texts[static_cast<size_t>(i)] = new QLabel(tr(kEntries[i].text), this);
        grid->addWidget(m_boxes[static_cast<size_t>(i)], i, 0);
        grid->addWidget(m_texts[static_cast<size_t>(i)], i, 1);
    }
    auto* close = new QPushButton(tr("閉じる"), this);
    close->setObjectName("legendClose");
    close->setDefault(true);
    grid->addWidget(close, kEntryCount, 0, 1, 2, Qt::AlignHCenter);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    refresh();
}

void CLegendDlg::refresh() {
    for (int i = 0; i < kEntryCount; ++i) {
        QPalette pal = m_boxes[static_cast<size_t>(i)]->palette();
        pal.setColor(QPalette::Window, displayColour(m_user, m_colours[static_cast<size_t>(i)]));
        m_boxes[static_cast<size_t>(i)]->setPalette(pal);
    }
}

QColor CLegendDlg::boxColour(int entry) const {
    return m_boxes.at(static_cast<size_t>(entry))->palette().color(QPalette::Window);
}

QString CLegendDlg::entryText(int entry) const {
    return m_texts.at(static_cast<size_t>(entry))->text();
}

void CLegendDlg::setEntry(int entry, const QString& text, ColorIndex colour) {
    const auto i = static_cast<size_t>(entry);
    m_texts.at(i)->setText(text);
    m_boxes.at(i)->setAccessibleName(text);
    m_colours.at(i) = colour;
    refresh();
}

CLegendDlg* CLegendDlg::showFor(CLegendDlg*& open, const AppSettings& user, QWidget* parent) {
    if (open == nullptr) {
        open = new CLegendDlg(user, parent);
        QObject::connect(open, &QObject::destroyed, [&open] { open = nullptr; });
    } else {
        open->refresh();
    }
    open->show();
    open->raise();
    open->activateWindow();
    return open;
}

}  // namespace qavix
