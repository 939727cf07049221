#include "frame/PlantWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "frame/DesktopNotifier.h"
#include "frame/MarginBarDelegate.h"
#include "frame/PlantFilterProxy.h"
#include "frame/PlantTableModel.h"
#include "plant/PlantHealth.h"
#include "plant/PlantText.h"

namespace qavix {

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

constexpr int kDefaultWidth = 1100;
constexpr int kDefaultHeight = 560;
// A column fitted to its texts grows no wider than this many average characters: a long
// error text is cut short (its tooltip holds it whole) rather than pushing the columns after
// it out of sight.
constexpr int kWidestColumnChars = 32;

}  // namespace

PlantWindow::PlantWindow(PlantWindowServices services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services)) {
    setObjectName("PlantWindow");
    setAttribute(Qt::WA_DeleteOnClose);
    if (!m_services.wallClock) {
        m_services.wallClock = [] { return std::time(nullptr); };
    }
    m_showMessage = [this](const QString& title, const QString& text) {
        QMessageBox::information(this, title, text);
    };
    buildControls();
    m_batch.setSingleShot(true);
    m_batch.setInterval(kBatchMs);
    connect(&m_batch, &QTimer::timeout, this, &PlantWindow::refresh);
    m_clock.setInterval(kClockMs);
    connect(&m_clock, &QTimer::timeout, this, &PlantWindow::tick);
    resize(kDefaultWidth, kDefaultHeight);
    updateTexts();
}

PlantWindow::~PlantWindow() {
    // The subscriber's thread ends before the window it tells goes; what it posted to the
    // window goes with the window.
    if (m_subscriber) {
        m_subscriber->stop();
    }
}

void PlantWindow::buildControls() {
    m_model = new PlantTableModel(this);
    m_model->setClock(m_services.wallClock);
    m_proxy = new PlantFilterProxy(this);
    m_proxy->setSourceModel(m_model);

    m_view = new QTableView(this);
    m_view->setObjectName("plantTable");
    m_view->setAccessibleName(tr("コントローラ一覧"));
    m_view->setModel(m_proxy);
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(PlantTableModel::kColSeverity, Qt::DescendingOrder);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setTabKeyNavigation(false);
    m_view->setAlternatingRowColors(false);
    m_view->verticalHeader()->setVisible(false);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setWordWrap(false);
    // Fitted to the texts as controllers appear, until the user sizes a column; the rest
    // of a row stays reachable by scrolling sideways.
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &PlantWindow::fitColumns);
    connect(m_view->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!m_fittingColumns) {
            m_columnsSizedByUser = true;
        }
    });
    auto* bars = new MarginBarDelegate(m_view);
    for (int c = PlantTableModel::kColCh1; c <= PlantTableModel::kColCh3; ++c) {
        m_view->setItemDelegateForColumn(c, bars);
    }
    connect(m_view, &QTableView::activated, this,
            [this](const QModelIndex& index) { openRow(index.row()); });

    m_problemsOnly = new QCheckBox(tr("問題のみ(&P)"), this);
    m_problemsOnly->setObjectName("problemsOnly");
    connect(m_problemsOnly, &QCheckBox::toggled, m_proxy, &PlantFilterProxy::setProblemsOnly);
    auto* findLabel = new QLabel(tr("検索(&F):"), this);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName("plantFilter");
    m_filter->setAccessibleName(tr("検索"));
    m_filter->setClearButtonEnabled(true);
    findLabel->setBuddy(m_filter);
    connect(m_filter, &QLineEdit::textChanged, m_proxy, &PlantFilterProxy::setText);
    m_open = new QPushButton(tr("開く(&O)"), this);
    m_open->setObjectName("openButton");
    m_open->setEnabled(static_cast<bool>(m_services.open));
    connect(m_open, &QPushButton::clicked, this, [this] {
        const QModelIndex current = m_view->currentIndex();
        if (current.isValid()) {
            openRow(current.row());
        }
    });
    m_acknowledge = new QPushButton(tr("確認済みにする(&A)"), this);
    m_acknowledge->setObjectName("acknowledgeButton");
    connect(m_acknowledge, &QPushButton::clicked, this, &PlantWindow::acknowledgeSelected);
    m_acknowledgeAll = new QPushButton(tr("すべて確認済み(&L)"), this);
    m_acknowledgeAll->setObjectName("acknowledgeAllButton");
    connect(m_acknowledgeAll, &QPushButton::clicked, this, &PlantWindow::acknowledgeAll);

    auto* controls = new QHBoxLayout();
    controls->addWidget(m_problemsOnly);
    controls->addSpacing(12);
    controls->addWidget(findLabel);
    controls->addWidget(m_filter, 1);
    controls->addSpacing(12);
    controls->addWidget(m_open);
    controls->addWidget(m_acknowledge);
    controls->addWidget(m_acknowledgeAll);

    m_connectionLabel = new QLabel(this);
    m_connectionLabel->setObjectName("connectionLabel");
    m_connectionLabel->setWordWrap(true);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(controls);
    layout->addWidget(m_connectionLabel);
    layout->addWidget(m_view, 1);
    setCentralWidget(central);

    m_summaryLabel = new QLabel(this);
    m_summaryLabel->setObjectName("summaryLabel");
    m_skippedLabel = new QLabel(this);
    m_skippedLabel->setObjectName("skippedLabel");
    statusBar()->addWidget(m_summaryLabel);
    statusBar()->addWidget(m_skippedLabel, 1);
    setTabOrder(m_problemsOnly, m_filter);
    setTabOrder(m_filter, m_open);
    setTabOrder(m_open, m_acknowledge);
    setTabOrder(m_acknowledge, m_acknowledgeAll);
    setTabOrder(m_acknowledgeAll, m_view);
}

void PlantWindow::start() {
    std::string error;
    const auto options = plant::plantBrokerOptions(m_services.settings, error);
    if (!options) {
        m_setupProblem = qs(error);
        updateTexts();
        return;
    }
    m_subscriber = std::make_unique<plant::PlantSubscriber>(*options, m_services.settings.topicRoot,
                                                            m_services.wallClock);
    // Told on the subscriber's thread: the window takes it on its own.
    m_subscriber->onNews(
        [this] { QMetaObject::invokeMethod(this, "scheduleRefresh", Qt::QueuedConnection); });
    if (!m_subscriber->start(error)) {
        m_subscriber.reset();
        m_setupProblem = qs(error);
    }
    m_clock.start();
    updateTexts();
}

void PlantWindow::scheduleRefresh() {
    if (!m_batch.isActive()) {
        m_batch.start();
    }
}

void PlantWindow::refresh() {
    if (!m_subscriber) {
        return;
    }
    plant::PlantUpdate update = m_subscriber->take();
    m_connection = update.connection;
    m_model->setConnection(update.connection);
    m_model->update(update.rows);
    m_skipped = update.skipped;
    m_lastSkip = qs(update.lastSkip);
    notifyEvents(update.events);
    updateTexts();
    emit refreshed();
}

void PlantWindow::fitColumns() {
    if (m_columnsSizedByUser) {
        return;
    }
    m_fittingColumns = true;
    m_view->resizeColumnsToContents();
    const int widest = kWidestColumnChars * m_view->fontMetrics().averageCharWidth();
    QHeaderView* header = m_view->horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
        // The header's own text is never cut, however narrow the widest may be.
        const int headerWidth = header->sectionSizeHint(c);
        header->resizeSection(c, std::min(header->sectionSize(c), std::max(widest, headerWidth)));
    }
    m_fittingColumns = false;
}

void PlantWindow::tick() {
    m_model->tick();
    updateTexts();
}

QString PlantWindow::summary() const {
    std::map<std::string, plant::PlantRow> rows;
    for (const plant::PlantRow& r : m_model->plantRows()) {
        rows.emplace(r.name, r);
    }
    return qs(plant::summaryText(plant::summarize(rows, m_services.wallClock())));
}

void PlantWindow::updateTexts() {
    const QString sum = summary();
    setWindowTitle(tr("プラント表示") + " - " + sum);
    m_summaryLabel->setText(sum);
    if (!m_setupProblem.isEmpty()) {
        m_connectionLabel->setText(m_setupProblem);
    } else if (m_subscriber) {
        m_connectionLabel->setText(
            qs(plant::connectionText(m_connection, m_services.settings.topicRoot)));
    }
    m_skippedLabel->setText(
        m_skipped == 0 ? QString()
                       : tr("読めないメッセージ %1 件 (最後: %2)").arg(m_skipped).arg(m_lastSkip));
}

void PlantWindow::notifyEvents(const std::vector<plant::PlantEvent>& events) {
    if (events.empty()) {
        return;
    }
    const bool sound = m_services.settings.sound;
    for (const plant::PlantEvent& e : events) {
        const QString name = qs(plant::shownText(e.name));
        QString summary;
        switch (e.mark) {
            case plant::kMarkWentOffline:
                summary = tr("%1 がオフラインになりました").arg(name);
                break;
            case plant::kMarkMarginLow:
                summary = tr("%1: マージン低下").arg(name);
                break;
            case plant::kMarkNewError:
                summary = tr("%1: 新しいエラー履歴").arg(name);
                break;
        }
        if (m_services.notifier != nullptr) {
            m_services.notifier->notify(summary, qs(e.detail), e.mark == plant::kMarkWentOffline,
                                        sound);
        }
    }
    if (sound) {
        QApplication::beep();
    }
}

void PlantWindow::acknowledgeSelected() {
    if (!m_subscriber) {
        return;
    }
    for (const QModelIndex& index : m_view->selectionModel()->selectedRows()) {
        const int source = m_proxy->mapToSource(index).row();
        m_subscriber->acknowledge(m_model->plantRow(source).name);
    }
    refresh();
}

void PlantWindow::acknowledgeAll() {
    if (!m_subscriber) {
        return;
    }
    for (const plant::PlantRow& r : m_model->plantRows()) {
        if (r.marks != 0) {
            m_subscriber->acknowledge(r.name);
        }
    }
    refresh();
}

void PlantWindow::say(const QString& text) {
    m_showMessage(tr("プラント表示"), text);
}

void PlantWindow::openRow(int viewRow) {
    const QModelIndex index = m_proxy->index(viewRow, 0);
    if (!index.isValid() || !m_services.open) {
        return;
    }
    const plant::PlantRow row = m_model->plantRow(m_proxy->mapToSource(index).row());
    const plant::Reach reach = plant::reachOf(row, m_services.thisHost);
    if (!reach.possible()) {
        say(qs(plant::reachProblemText(reach, row)));
        return;
    }
    const PlantOpenOutcome outcome = m_services.open(reach);
    if (outcome.busy) {
        say(qs(plant::busyPortText(reach)));
    } else if (!outcome.opened && !outcome.message.isEmpty()) {
        say(outcome.message);
    }
}

}  // namespace qavix
