#include "monitor/CView003.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <ctime>

#include "comm/Transactions.h"
#include "files/TextFile.h"
#include "model/PageEditState.h"
#include "monitor/DisplayColours.h"
#include "monitor/LevelCsv.h"
#include "monitor/LevelReading.h"
#include "monitor/ThresholdList.h"
#include "pages/SaveFileDialog.h"

namespace qavix {

namespace {

constexpr int kMinimumIntervalMs = 10;
// The bar column leaves this much room on each side of the bar.
constexpr int kBarInset = 3;

std::tm localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

// Draws the level bars and routes the cell editor's commits and keys to the page, which
// decides whether a typed threshold is taken.
class ListDelegate : public QStyledItemDelegate {
  public:
    ListDelegate(CView003& page, QObject* parent) : QStyledItemDelegate(parent), m_page(page) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (index.column() != CView003::kBarColumn) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const int level = index.data(CView003::kBarLevelRole).toInt();
        const QColor colour = index.data(CView003::kBarColourRole).value<QColor>();
        const QRect area = option.rect.adjusted(kBarInset, kBarInset, -kBarInset, -kBarInset);
        const int width = area.width() * std::clamp(level, 0, kFullScale) / kFullScale;
        if (width > 0 && colour.isValid()) {
            painter->fillRect(QRect(area.left(), area.top(), width, area.height()), colour);
        }
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* edit = new QLineEdit(parent);
        edit->setAccessibleName(index.column() == CView003::kOnColumn ? "ONしきい値"
                                                                      : "OFFしきい値");
        edit->setFrame(false);
        return edit;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* edit = static_cast<QLineEdit*>(editor);
        edit->setText(index.data().toString());
        edit->selectAll();
    }

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        m_page.typeCell(index.row(), index.column(), static_cast<QLineEdit*>(editor)->text());
    }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QLineEdit*>(object);
        if (editor == nullptr || event->type() != QEvent::KeyPress) {
            return QStyledItemDelegate::eventFilter(object, event);
        }
        const int key = static_cast<QKeyEvent*>(event)->key();
        const QTableWidget* list = m_page.list();
        const int rowsPerPage =
            std::max(1, list->viewport()->height() /
                            std::max(1, list->verticalHeader()->defaultSectionSize()));
        const QModelIndex here = list->currentIndex();
        int row = here.row();
        int column = here.column();
        const bool onCell = column == CView003::kOnColumn;
        switch (key) {
            case Qt::Key_Tab:
                // ON, then OFF, then the next row's ON.
                row += onCell ? 0 : 1;
                column = onCell ? CView003::kOffColumn : CView003::kOnColumn;
                break;
            case Qt::Key_Backtab:
                row -= onCell ? 1 : 0;
                column = onCell ? CView003::kOffColumn : CView003::kOnColumn;
                break;
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Down:
                row += 1;
                break;
            case Qt::Key_Up:
                row -= 1;
                break;
            case Qt::Key_PageDown:
                row += rowsPerPage;
                break;
            case Qt::Key_PageUp:
                row -= rowsPerPage;
                break;
            default:
                return QStyledItemDelegate::eventFilter(object, event);
        }
        emit commitData(editor);
        emit closeEditor(editor, QAbstractItemDelegate::NoHint);
        row = std::clamp(row, 0, std::max(0, list->rowCount() - 1));
        CView003* page = &m_page;
        QMetaObject::invokeMethod(
            page, [page, row, column] { page->editCell(row, column); }, Qt::QueuedConnection);
        return true;
    }

  private:
    CView003& m_page;
};

}  // namespace

CView003::CView003(const PageContext& pageContext, QWidget* parent)
    : PageBase("CView003", pageContext, parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_list = new QTableWidget(0, kColumnCount, this);
    m_list->setObjectName("list1034");
    m_list->setAccessibleName("受光レベルリスト");
    m_list->setHorizontalHeaderLabels(
        {"光軸番号", "受光レベル", "ONしきい値", "OFFしきい値", "受光レベルグラフ"});
    m_list->horizontalHeader()->setSectionsClickable(false);
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->horizontalHeaderItem(kBeamColumn)->setTextAlignment(Qt::AlignCenter);
    m_list->verticalHeader()->setVisible(false);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    // The bar column takes what the others leave, so the list never scrolls sideways.
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setShowGrid(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_list->setItemDelegate(new ListDelegate(*this, m_list));
    m_list->setTabKeyNavigation(true);
    layout->addWidget(m_list);

    m_bar = new CLevelListBar;
    connect(m_bar->updateButton(), &QToolButton::clicked, this, &CView003::updateOnce);
    connect(m_bar->continuousButton(), &QToolButton::clicked, this, &CView003::toggleContinuous);
    connect(m_bar->channelCombo(), qOverload<int>(&QComboBox::activated), this,
            &CView003::selectChannel);
    connect(m_bar->writeButton(), &QToolButton::clicked, this, &CView003::write);
    connect(m_bar->cancelButton(), &QToolButton::clicked, this, &CView003::cancel);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CView003::tick);
    stopContinuous();
}

CView003::~CView003() {
    m_timer.stop();
    if (m_bar && m_bar->parent() == nullptr) {
        delete m_bar;
    }
}

std::array<int, CView003::kColumnCount> CView003::columnWidths(int width, bool scrollBarShown) {
    const int w = std::max(width - 5, 0);
    std::array<int, kColumnCount> out{w / 6, w / 7, w / 7, w * 2 / 13, 0};
    out[kBarColumn] =
        std::max(w - out[0] - out[1] - out[2] - out[3] - (scrollBarShown ? 16 : 0), 0);
    return out;
}

void CView003::applyColumnWidths() {
    const auto widths = columnWidths(m_list->width(), m_list->verticalScrollBar()->isVisible());
    for (int c = 0; c < kBarColumn; ++c) {
        m_list->setColumnWidth(c, widths[static_cast<size_t>(c)]);
    }
}

void CView003::resizeEvent(QResizeEvent* event) {
    PageBase::resizeEvent(event);
    applyColumnWidths();
}

std::vector<int> CView003::listedSensors() const {
    return levels::shownSensors(working(), m_channel);
}

chart::ThresholdPair CView003::shown(int sensor, int beam) const {
    return m_shown.at(static_cast<size_t>(sensor)).at(static_cast<size_t>(beam));
}

void CView003::pageShown(const QString& /*title*/) {
    m_channelMode = state().chartItemSelected;
    m_bar->setWriteText(writeButtonText(state().model().selectedSet()));
    const int comboIndex = std::clamp(state().lastShownChannel, 0, kChannelCount);
    {
        const QSignalBlocker block(m_bar->channelCombo());
        m_bar->channelCombo()->setCurrentIndex(comboIndex);
    }
    m_channel = levels::channelOfComboIndex(comboIndex, working());
    if (!pageEdited(working(), kPageEditedFlag)) {
        reloadList();
    }
    refreshLevels();
    stopContinuous();
    applyColumnWidths();
    m_list->setFocus();
}

void CView003::reloadList() {
    openWait(false);
    if (fullRead()) {
        deriveShown();
    }
    closeWait();
    fillList();
}

bool CView003::fullRead() {
    // With a bank selected the link answers the threshold reads from the bank and only the
    // levels from the controller.
    return runReads(thlist::fullReads(working(), m_channelMode));
}

void CView003::deriveShown() {
    const SettingsData& set = working();
    for (int s : levels::shownSensors(set, levels::kAllChannels)) {
        for (int b = 0; b < std::clamp(set.channel(s).beamCount, 0, kMaxBeams); ++b) {
            m_shown[static_cast<size_t>(s)][static_cast<size_t>(b)] =
                thlist::derivedPair(set, s, b, m_channelMode);
        }
    }
}

void CView003::fillList() {
    m_filling = true;
    m_list->setRowCount(0);
    m_rows.clear();
    const SettingsData& set = working();
    for (int s : listedSensors()) {
        for (int b = 0; b < std::clamp(set.channel(s).beamCount, 0, kMaxBeams); ++b) {
            m_rows.push_back(RowRef{s, b});
        }
    }
    m_list->setRowCount(static_cast<int>(m_rows.size()));
    for (int row = 0; row < m_list->rowCount(); ++row) {
        const RowRef& r = m_rows[static_cast<size_t>(row)];
        for (int c = 0; c < kColumnCount; ++c) {
            auto* item = new QTableWidgetItem;
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (c == kOnColumn || c == kOffColumn) {
                flags |= Qt::ItemIsEditable;
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            if (c == kLevelColumn) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            item->setFlags(flags);
            m_list->setItem(row, c, item);
        }
        m_list->item(row, kBeamColumn)
            ->setText(QString::fromStdString(thlist::rowLabel(r.sensor, r.beam)));
        showPair(row);
    }
    m_filling = false;
    applyColumnWidths();
}

void CView003::showPair(int row, bool offTyped) {
    const RowRef& r = m_rows.at(static_cast<size_t>(row));
    const thlist::CellTexts texts = thlist::cellTexts(shown(r.sensor, r.beam), offTyped);
    m_list->item(row, kOnColumn)->setText(QString::fromStdString(texts.on));
    m_list->item(row, kOffColumn)->setText(QString::fromStdString(texts.off));
}

bool CView003::refreshLevels() {
    if (!runReads(thlist::levelReads(working(), m_channel))) {
        return false;
    }
    const SettingsData& set = working();
    const AppSettings& user = state().user;
    for (int row = 0; row < m_list->rowCount(); ++row) {
        const RowRef& r = m_rows[static_cast<size_t>(row)];
        const ChannelRecord& ch = set.channel(r.sensor);
        const auto k = static_cast<size_t>(r.beam);
        const int level = chart::displayedLevel(ch.absLevel[k], false);
        const chart::ThresholdPair t = shown(r.sensor, r.beam);
        const bool blanked =
            ch.fixAxis[k] != 0 && levels::blankingInForce(set, r.sensor, m_channelMode);
        m_list->item(row, kLevelColumn)->setText(QString::number(level));
        QTableWidgetItem* bar = m_list->item(row, kBarColumn);
        bar->setData(kBarLevelRole, level);
        bar->setData(kBarColourRole,
                     barStateColour(user, chart::barState(level, t.on, t.off, blanked)));
        // Screen readers read the bar as its level.
        bar->setData(Qt::AccessibleTextRole, QString::number(level));
    }
    return true;
}

bool CView003::typeCell(int row, int column, const QString& text) {
    if (row < 0 || row >= static_cast<int>(m_rows.size()) ||
        (column != kOnColumn && column != kOffColumn)) {
        return false;
    }
    bool ok = false;
    const int typed = text.trimmed().toInt(&ok);
    const RowRef& r = m_rows[static_cast<size_t>(row)];
    const chart::ThresholdPair now = shown(r.sensor, r.beam);
    const auto next = ok ? thlist::typedThreshold(now, column == kOnColumn, typed,
                                                  working().channel(r.sensor).hys)
                         : std::nullopt;
    if (!next) {
        // The cells keep their texts: the editor never writes into them.
        return false;
    }
    const bool offTyped = column == kOffColumn;
    if (m_channelMode) {
        // One pair per sensor: every row of the sensor shows it.
        m_shown[static_cast<size_t>(r.sensor)].fill(*next);
        for (int i = 0; i < m_list->rowCount(); ++i) {
            if (m_rows[static_cast<size_t>(i)].sensor == r.sensor) {
                showPair(i, offTyped && i == row);
            }
        }
    } else {
        m_shown[static_cast<size_t>(r.sensor)][static_cast<size_t>(r.beam)] = *next;
        showPair(row, offTyped);
    }
    updateEditedState();
    return true;
}

void CView003::editCell(int row, int column) {
    if (m_running || row < 0 || row >= m_list->rowCount()) {
        return;
    }
    QTableWidgetItem* item = m_list->item(row, column);
    if (item == nullptr || !(item->flags() & Qt::ItemIsEditable)) {
        return;
    }
    m_list->setCurrentItem(item);
    m_list->scrollToItem(item);
    m_list->editItem(item);
}

bool CView003::edited() const {
    const SettingsData& set = working();
    for (int s : levels::shownSensors(set, levels::kAllChannels)) {
        for (int b = 0; b < std::clamp(set.channel(s).beamCount, 0, kMaxBeams); ++b) {
            if (!(shown(s, b) == thlist::derivedPair(set, s, b, m_channelMode))) {
                return true;
            }
        }
    }
    return false;
}

void CView003::updateEditedState() {
    const bool changed = edited();
    setPageEdited(working(), kPageEditedFlag, changed);
    if (!m_running) {
        m_bar->showIdle(changed);
    }
}

void CView003::selectChannel(int comboIndex) {
    {
        const QSignalBlocker block(m_bar->channelCombo());
        m_bar->channelCombo()->setCurrentIndex(comboIndex);
    }
    m_channel = levels::channelOfComboIndex(comboIndex, working());
    state().lastShownChannel = comboIndex;
    setPageEdited(working(), kPageEditedFlag, false);
    reloadList();
    refreshLevels();
    m_bar->showIdle(false);
}

void CView003::updateOnce() {
    if (m_running) {
        return;
    }
    m_channel = levels::channelOfComboIndex(m_bar->channelCombo()->currentIndex(), working());
    refreshLevels();
}

void CView003::toggleContinuous() {
    if (m_running) {
        stopContinuous();
        return;
    }
    // An open cell editor closes first, so its number is judged now and not mid-run.
    m_list->setFocus();
    m_running = true;
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_bar->showRunning();
    state().setContinuousMonitoring(true);
    setCommBusy(true);
    tick();
}

void CView003::tick() {
    m_timer.stop();
    if (!m_running) {
        return;
    }
    if (!refreshLevels()) {
        // The last levels stay; "停止" stays until pressed.
        return;
    }
    if (m_running) {
        m_timer.start(std::max(context().refreshPeriodMs ? context().refreshPeriodMs() : 0,
                               kMinimumIntervalMs));
    }
}

void CView003::stopContinuous() {
    m_timer.stop();
    if (m_running) {
        state().setContinuousMonitoring(false);
    }
    m_running = false;
    if (holdsCommBusy()) {
        setCommBusy(false);
    }
    m_list->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::SelectedClicked |
                            QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    if (m_bar) {
        m_bar->showIdle(pageEdited(working(), kPageEditedFlag));
    }
}

bool CView003::write() {
    DeviceModel& model = state().model();
    SettingsData edited = model.working();
    std::vector<std::vector<chart::ThresholdPair>> pairs;
    const std::vector<int> sensors = levels::shownSensors(edited, levels::kAllChannels);
    for (int s : sensors) {
        const int beams = std::clamp(edited.channel(s).beamCount, 0, kMaxBeams);
        pairs.emplace_back(m_shown[static_cast<size_t>(s)].begin(),
                           m_shown[static_cast<size_t>(s)].begin() + beams);
    }
    const std::vector<codec::PutRequest> puts =
        thlist::listPuts(edited, sensors, pairs, m_channelMode);
    const bool toController = model.selectedSet() == kCurrentSet;
    setCommBusy(true);
    openWait(true);
    Transactions transactions(link(), model);
    const bool ok = transactions.writeCurrentSet(puts) == kRequestOk;
    closeWait();
    setCommBusy(false);
    if (!ok) {
        // The edits stay for another try or "取消し".
        m_bar->showIdle(true);
        return false;
    }
    // With a bank selected the link has applied the puts to it already.
    if (toController) {
        applyWrittenPuts(puts, model.working());
    }
    setPageEdited(working(), kPageEditedFlag, false);
    reloadList();
    refreshLevels();
    m_bar->showIdle(false);
    return true;
}

void CView003::cancel() {
    deriveShown();
    for (int row = 0; row < m_list->rowCount(); ++row) {
        showPair(row);
    }
    refreshLevels();
    updateEditedState();
}

void CView003::saveCsv() {
    const QString path = askSaveFile(
        this, SaveFileRequest{kSaveAsTitle, csvFileFilters(), "csv",
                              QString::fromStdString(levels::defaultCsvName(localNow()))});
    if (!path.isEmpty()) {
        saveCsvTo(path);
    }
}

bool CView003::saveCsvTo(const QString& path) {
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < m_list->rowCount(); ++row) {
        std::vector<std::string> cells;
        for (int c = kBeamColumn; c <= kOffColumn; ++c) {
            cells.push_back(m_list->item(row, c)->text().toStdString());
        }
        rows.push_back(std::move(cells));
    }
    const bool written = textfile::writeLines(path.toStdString(), thlist::listCsvLines(rows)).ok;
    if (!written) {
        showFileNotWritten(true);
    }
    return written;
}

void CView003::hideEvent(QHideEvent* event) {
    PageBase::hideEvent(event);
    if (m_running) {
        stopContinuous();
    }
    if (holdsCommBusy()) {
        setCommBusy(false);
    }
    m_timer.stop();
}

}  // namespace qavix
