#include "monitor/CView017.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "model/PageEditState.h"
#include "monitor/DisplayColours.h"

namespace qavix {

namespace {

constexpr int kBarMargin = 3;
constexpr int kBarColumnWidth = 220;

struct RowValues {
    int32_t level = 0;
    chart::BarState state = chart::BarState::Blocked;
};

RowValues rowValues(const SettingsData& set, const beams::BeamRange& range, int row) {
    RowValues v;
    const std::optional<beams::BeamRef> ref = range.at(row);
    if (!ref) {
        return v;
    }
    const ChannelRecord& ch = set.channel(ref->sensor);
    const auto b = static_cast<size_t>(ref->beam);
    v.level = ch.ratioLevel[b];
    v.state = chart::barState(v.level, ch.ratioOnTh[b], ch.ratioOffTh[b], false);
    return v;
}

// Draws the level as a horizontal bar in its state colour.
class LevelBarDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, QModelIndex());
        const int level = index.data(Qt::DisplayRole).toInt();
        const QColor colour = index.data(BeamListModel::kStateColourRole).value<QColor>();
        const QRect area = option.rect.adjusted(kBarMargin, kBarMargin, -kBarMargin, -kBarMargin);
        // Against the full scale, as the graph page's percent axis at its first scale step.
        const int width = area.width() * std::clamp(level, 0, kFullScale) / kFullScale;
        painter->save();
        painter->fillRect(QRect(area.left(), area.top(), width, area.height()), colour);
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawRect(area.adjusted(0, 0, -1, -1));
        painter->restore();
    }
};

}  // namespace

BeamListModel::BeamListModel(CView017& page) : QAbstractTableModel(&page), m_page(page) {}

int BeamListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_page.range().size();
}

int BeamListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant BeamListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const int row = index.row();
    const RowValues v = rowValues(m_page.working(), m_page.range(), row);
    switch (index.column()) {
        case kNumber:
            if (role == Qt::DisplayRole) {
                return QString::fromStdString(m_page.range().label(row));
            }
            break;
        case kLevel:
            if (role == Qt::DisplayRole) {
                return QString("%1%").arg(v.level);
            }
            if (role == Qt::TextAlignmentRole) {
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            }
            break;
        case kLevelBar:
            if (role == Qt::DisplayRole) {
                return v.level;
            }
            if (role == kStateColourRole) {
                return barStateColour(m_page.state().user, v.state);
            }
            if (role == Qt::AccessibleTextRole) {
                return QString("%1%").arg(v.level);
            }
            break;
        case kSetting:
            if (role == Qt::CheckStateRole) {
                return m_page.picks().picked(m_page.range(), row) ? Qt::Checked : Qt::Unchecked;
            }
            if (role == Qt::AccessibleTextRole) {
                return m_page.picks().picked(m_page.range(), row) ? tr("設定") : tr("未設定");
            }
            break;
        default:
            break;
    }
    return {};
}

QVariant BeamListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const kHeaders[kColumnCount] = {
        QT_TRANSLATE_NOOP("qavix::BeamListModel", "光軸番号"),
        QT_TRANSLATE_NOOP("qavix::BeamListModel", "受光レベル"),
        QT_TRANSLATE_NOOP("qavix::BeamListModel", "受光レベルグラフ"),
        QT_TRANSLATE_NOOP("qavix::BeamListModel", "設定")};
    return section >= 0 && section < kColumnCount ? tr(kHeaders[section]) : QVariant();
}

Qt::ItemFlags BeamListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.column() == kSetting) {
        f |= Qt::ItemIsUserCheckable;
    }
    return f;
}

bool BeamListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != kSetting || role != Qt::CheckStateRole) {
        return false;
    }
    m_page.setPicked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

void BeamListModel::reset() {
    beginResetModel();
    endResetModel();
}

void BeamListModel::changedAll() {
    if (rowCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
    }
}

CView017::CView017(const PageContext& context, QWidget* parent)
    : BeamPage("CView017", context, kPageIndex, kEditedBeamList, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_model = new BeamListModel(*this);
    m_list = new QTableView(this);
    m_list->setObjectName("list1034");
    // Spelled out: lupdate loses this class behind its model's forward declaration.
    m_list->setAccessibleName(QCoreApplication::translate("qavix::CView017", "光軸一覧"));
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Check boxes change by click or Space only, never by typing into a cell.
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setItemDelegateForColumn(BeamListModel::kLevelBar, new LevelBarDelegate(m_list));
    m_list->horizontalHeader()->setSectionsClickable(false);
    m_list->horizontalHeader()->setHighlightSections(false);
    m_list->horizontalHeader()->resizeSection(BeamListModel::kLevelBar, kBarColumnWidth);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    m_list->installEventFilter(this);
    layout->addWidget(m_list);
}

void CView017::rebuild() {
    m_model->reset();
    if (m_model->rowCount() > 0) {
        m_list->setCurrentIndex(m_model->index(0, BeamListModel::kSetting));
    }
}

void CView017::redraw() {
    m_model->changedAll();
}

void CView017::setPicked(int row, bool on) {
    if (mutablePicks().set(range(), row, on) > 0) {
        markEdited();
    }
    const QModelIndex index = m_model->index(row, BeamListModel::kSetting);
    emit m_model->dataChanged(index, index);
}

void CView017::toggleSelectedRows() {
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid()) {
        return;
    }
    std::vector<int> rows;
    for (const QModelIndex& i : m_list->selectionModel()->selectedRows()) {
        rows.push_back(i.row());
    }
    if (rows.empty()) {
        rows.push_back(current.row());
    }
    if (mutablePicks().toggleRows(range(), rows, current.row()) > 0) {
        markEdited();
    }
    redraw();
}

QString CView017::listText() const {
    QString text = QString::fromUtf8(kTextHeading);
    for (int row = 0; row < range().size(); ++row) {
        const RowValues v = rowValues(working(), range(), row);
        text += QString("%1,%2,%3\n")
                    .arg(QString::fromStdString(range().label(row)))
                    .arg(v.level)
                    .arg(picks().picked(range(), row) ? 1 : 0);
    }
    return text;
}

bool CView017::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            toggleSelectedRows();
            return true;
        }
        if (key->matches(QKeySequence::Copy)) {
            QApplication::clipboard()->setText(listText());
            return true;
        }
    }
    return BeamPage::eventFilter(watched, event);
}

}  // namespace qavix
