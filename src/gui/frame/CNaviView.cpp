#include "frame/CNaviView.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "widgets/CPictureButton.h"

namespace qavix {

namespace {

using nav::HeaderStyle;
using nav::Picture;

const QColor kBoardBack(0, 0, 255);
const QColor kLabelText(0, 0, 255);
const QColor kLabelBack(252, 255, 204);
const QColor kGroupHeaderBack(188, 223, 204);
const QColor kMeasurementHeaderBack(255, 222, 92);
const QColor kCardBack(255, 255, 255);
const QColor kDescriptionText(40, 40, 40);
const QColor kLinkText(80, 80, 255);
constexpr int kLabelFontPixels = 12;
constexpr int kLabelWidth = 150;
constexpr int kPictureSize = 28;
constexpr int kCardMargin = 10;
constexpr int kIconSize = 22;

QFont labelFont(bool bold = false) {
    QFont f("Noto Sans CJK JP");
    f.setPixelSize(kLabelFontPixels);
    f.setWeight(bold ? QFont::Bold : QFont::Normal);
    return f;
}

QString colourCss(const QColor& c) {
    return QString("rgb(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

const char* pictureFile(Picture p) {
    switch (p) {
        case Picture::Controller:
            return ":/navi/controller.gif";
        case Picture::Display:
            return ":/navi/display.gif";
        case Picture::Settings:
            return ":/navi/settings.gif";
        case Picture::Measurement:
            return ":/navi/measurement.gif";
        case Picture::Sensor:
            return ":/navi/sensor.gif";
        case Picture::Bank:
            return ":/navi/bank.gif";
        case Picture::None:
            break;
    }
    return nullptr;
}

// The pictures of the two icon links: a globe for the products page, a house for home.
QIcon linkIcon(bool globe) {
    QPixmap pm(kIconSize * 2, kIconSize * 2);
    pm.setDevicePixelRatio(2.0);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0, 51, 102);
    p.setPen(QPen(ink, 1.6));
    const QRectF r(3, 3, kIconSize - 6, kIconSize - 6);
    if (globe) {
        p.setBrush(QColor(180, 210, 255));
        p.drawEllipse(r);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(r.adjusted(r.width() / 4, 0, -r.width() / 4, 0));
        p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
        p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
    } else {
        QPainterPath roof;
        roof.moveTo(r.left() - 1, r.top() + r.height() * 0.5);
        roof.lineTo(r.center().x(), r.top());
        roof.lineTo(r.right() + 1, r.top() + r.height() * 0.5);
        p.setBrush(QColor(255, 222, 92));
        p.drawRect(
            QRectF(r.left() + 2, r.top() + r.height() * 0.45, r.width() - 4, r.height() * 0.55));
        p.setBrush(Qt::NoBrush);
        p.drawPath(roof);
        p.setBrush(ink);
        p.drawRect(QRectF(r.center().x() - 2, r.bottom() - 6, 4, 6));
    }
    return QIcon(pm);
}

}  // namespace

CNaviView::CNaviView(std::function<nav::TreeShape()> shape, QWidget* parent)
    : QScrollArea(parent), m_shape(std::move(shape)) {
    setObjectName("CNaviView");
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    buildBoard();
}

CNaviView::~CNaviView() {
    stopPictures();
}

void CNaviView::buildBoard() {
    m_board = new QWidget(this);
    m_board->setObjectName("naviBoard");
    m_board->setAutoFillBackground(true);
    QPalette pal = m_board->palette();
    pal.setColor(QPalette::Window, kBoardBack);
    m_board->setPalette(pal);
    auto* layout = new QVBoxLayout(m_board);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(12);
    const std::vector<nav::BoardGroup>& groups = nav::boardGroups();
    for (size_t g = 0; g < groups.size(); ++g) {
        QWidget* card = makeGroup(groups[g], static_cast<int>(g));
        layout->addWidget(card);
        m_groups.push_back(card);
    }
    layout->addWidget(makeLinks());
    layout->addStretch(1);
    setWidget(m_board);
}

QWidget* CNaviView::makeHeader(const QString& text, HeaderStyle style, Picture picture, bool top) {
    auto* header = new QWidget();
    header->setAutoFillBackground(true);
    QPalette pal = header->palette();
    pal.setColor(QPalette::Window,
                 style == HeaderStyle::Measurement ? kMeasurementHeaderBack : kGroupHeaderBack);
    header->setPalette(pal);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(6, 2, 8, 2);
    row->setSpacing(8);
    if (const char* file = pictureFile(picture)) {
        auto* pictureLabel = new QLabel(header);
        pictureLabel->setFixedSize(kPictureSize, kPictureSize);
        auto* movie = new QMovie(QString::fromLatin1(file), QByteArray(), pictureLabel);
        movie->setCacheMode(QMovie::CacheAll);
        pictureLabel->setMovie(movie);
        movie->jumpToFrame(0);
        m_movies.push_back(movie);
        row->addWidget(pictureLabel);
    } else {
        row->addSpacing(top ? 0 : 4);
    }
    auto* title = new QLabel(text, header);
    title->setFont(labelFont(true));
    row->addWidget(title, 1);
    header->setMinimumHeight(top ? kPictureSize + 4 : 22);
    return header;
}

QWidget* CNaviView::makeGroup(const nav::BoardGroup& group, int /*index*/) {
    auto* card = new QWidget();
    card->setAutoFillBackground(true);
    QPalette pal = card->palette();
    pal.setColor(QPalette::Window, kCardBack);
    card->setPalette(pal);
    auto* layout = new QVBoxLayout(card);
    layout->setContentsMargins(0, 0, 0, kCardMargin);
    layout->setSpacing(6);
    layout->addWidget(
        makeHeader(QString::fromStdString(group.header), HeaderStyle::Group, group.picture, true));
    for (const nav::BoardSection& section : group.sections) {
        auto* box = new QWidget(card);
        auto* boxLayout = new QVBoxLayout(box);
        boxLayout->setContentsMargins(kCardMargin, 0, kCardMargin, 0);
        boxLayout->setSpacing(4);
        if (!section.header.empty()) {
            boxLayout->addWidget(makeHeader(QString::fromStdString(section.header), section.style,
                                            section.picture, false));
        }
        auto* grid = new QGridLayout();
        grid->setContentsMargins(section.header.empty() ? 0 : 16, 2, 0, 2);
        grid->setHorizontalSpacing(14);
        grid->setVerticalSpacing(4);
        int row = 0;
        for (const nav::BoardLabel& label : section.labels) {
            // A button that looks like the label it stands for: reached with Tab, pressed
            // with Space or Enter, and offered to a screen reader as something to press.
            auto* link = new QPushButton(QString::fromStdString(label.text), box);
            link->setObjectName(QString("naviLabel%1").arg(label.id));
            link->setFont(labelFont());
            link->setFixedWidth(kLabelWidth);
            link->setFlat(true);
            link->setStyleSheet(
                QString("QPushButton { color: %1; background-color: %2; padding: 3px 8px; "
                        "border: 1px solid rgb(214,218,170); text-align: left; }"
                        "QPushButton:focus { border: 2px solid %1; padding: 2px 7px; }")
                    .arg(colourCss(kLabelText), colourCss(kLabelBack)));
            link->setCursor(Qt::PointingHandCursor);
            link->setAccessibleDescription(QString::fromStdString(label.description));
            link->installEventFilter(this);
            const int id = label.id;
            connect(link, &QPushButton::clicked, this, [this, id] { activateLabel(id); });
            auto* description = new QLabel(QString::fromStdString(label.description), box);
            description->setFont(labelFont());
            QPalette dp = description->palette();
            dp.setColor(QPalette::WindowText, kDescriptionText);
            description->setPalette(dp);
            grid->addWidget(link, row, 0);
            grid->addWidget(description, row, 1);
            m_labelIndex[label.id] = m_labels.size();
            m_labels.push_back(LabelEntry{&label, group.set, link, description});
            ++row;
        }
        grid->setColumnStretch(1, 1);
        boxLayout->addLayout(grid);
        layout->addWidget(box);
        m_sections.push_back(SectionEntry{&section, box});
    }
    return card;
}

QWidget* CNaviView::makeLinks() {
    auto* bar = new QWidget();
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    for (int i = 0; i < kLinkCount; ++i) {
        auto* b = new CPictureButton(bar);
        b->setObjectName(QString("webLink%1").arg(i));
        b->setFont(labelFont());
        if (i == kLinkProducts) {
            b->setText(tr("製品のホームページ"));
            b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        } else {
            // A picture alone says nothing to a screen reader.
            b->setAccessibleName(tr(i == kLinkProductsPicture ? kProductsPictureName : kHomeName));
            b->setIcon(linkIcon(i == kLinkProductsPicture));
            b->setIconSize(QSize(kIconSize, kIconSize));
            b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        }
        b->setMinimumHeight(kIconSize + 10);
        connect(b, &QToolButton::clicked, this, [this, i] { openLink(i); });
        m_links[i] = b;
        row->addWidget(b);
    }
    row->addStretch(1);
    return bar;
}

void CNaviView::setWebLinks(bool active, const QString& webAddr, const QString& homeAddr) {
    const QString targets[kLinkCount] = {webAddr, webAddr, homeAddr};
    for (int i = 0; i < kLinkCount; ++i) {
        m_targets[i] = active ? targets[i] : QString();
        CPictureButton* b = m_links[i];
        b->setToolTip(m_targets[i]);
        b->setCursor(active ? Qt::PointingHandCursor : Qt::ArrowCursor);
        QPalette pal = b->palette();
        pal.setColor(QPalette::ButtonText, active ? kLinkText : palette().color(QPalette::Text));
        b->setPalette(pal);
    }
}

void CNaviView::openLink(int link) {
    const QString& target = m_targets[link];
    if (target.isEmpty()) {
        return;
    }
    emit linkOpened(target);
    QDesktopServices::openUrl(QUrl(target));
}

void CNaviView::setNavigationKind(int kind) {
    m_kind = kind;
    const nav::TreeShape shape = m_shape ? m_shape() : nav::TreeShape{};
    const std::vector<int> shown = nav::groupsShown(kind, shape.sensorCount);
    for (size_t g = 0; g < m_groups.size(); ++g) {
        const bool on = std::find(shown.begin(), shown.end(), static_cast<int>(g)) != shown.end();
        m_groups[g]->setVisible(on);
    }
    for (const SectionEntry& s : m_sections) {
        s.widget->setVisible(nav::sectionShown(*s.section, shape));
    }
    for (const LabelEntry& l : m_labels) {
        const bool on = nav::labelShown(*l.label, shape);
        l.widget->setVisible(on);
        l.description->setVisible(on);
    }
    verticalScrollBar()->setValue(0);
}

void CNaviView::activateLabel(int id) {
    if (m_busy && m_busy()) {
        return;
    }
    const auto it = m_labelIndex.find(id);
    if (it == m_labelIndex.end() || !m_onClick) {
        return;
    }
    const LabelEntry& entry = m_labels[it->second];
    m_onClick(entry.label->item, entry.set, entry.label->channel);
}

bool CNaviView::eventFilter(QObject* watched, QEvent* event) {
    // Enter opens the page as Space does: the board reads as a list of links.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            for (const LabelEntry& l : m_labels) {
                if (l.widget == watched) {
                    activateLabel(l.label->id);
                    return true;
                }
            }
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

QStringList CNaviView::labels() const {
    QStringList out;
    for (const LabelEntry& l : m_labels) {
        if (l.widget->isVisibleTo(m_board)) {
            out << l.widget->text();
        }
    }
    return out;
}

QStringList CNaviView::groupHeaders() const {
    QStringList out;
    const std::vector<nav::BoardGroup>& groups = nav::boardGroups();
    for (size_t g = 0; g < m_groups.size(); ++g) {
        if (m_groups[g]->isVisibleTo(m_board)) {
            out << QString::fromStdString(groups[g].header);
        }
    }
    return out;
}

QPushButton* CNaviView::labelWidget(int id) const {
    const auto it = m_labelIndex.find(id);
    return it == m_labelIndex.end() ? nullptr : m_labels[it->second].widget;
}

void CNaviView::startPictures() {
    for (QMovie* m : m_movies) {
        if (m->state() != QMovie::Running) {
            m->start();
        }
    }
}

void CNaviView::stopPictures() {
    for (QMovie* m : m_movies) {
        m->stop();
    }
}

void CNaviView::showEvent(QShowEvent* event) {
    QScrollArea::showEvent(event);
    startPictures();
}

void CNaviView::hideEvent(QHideEvent* event) {
    // Hidden pictures cost nothing; they start again when the view is shown.
    stopPictures();
    QScrollArea::hideEvent(event);
}

}  // namespace qavix
