#include "frame/CBankCopyDlg.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "files/BankDialogButtons.h"
#include "files/BankDialogRules.h"
#include "widgets/ColourContrast.h"

namespace qavix {

namespace {

constexpr int kArrowPointSize = 30;  // about 40 pixels high
constexpr int kListWidth = 130;
constexpr int kListHeight = 120;
// The light yellow reads only on a dark dialog; a light one gets a deep blue.
const QColor kLightArrow(255, 255, 150);
const QColor kDarkArrow(0, 60, 170);

void fill(QListWidget* list, const std::vector<int>& sets) {
    list->clear();
    for (int set : sets) {
        auto* item = new QListWidgetItem(QString::fromStdString(bankrules::setLabel(set)), list);
        item->setData(Qt::UserRole, set);
    }
    list->setCurrentRow(0);
}

}  // namespace

CBankCopyDlg::CBankCopyDlg(CBankManager& banks, QWidget* parent) : QDialog(parent), m_banks(banks) {
    setObjectName("CBankCopyDlg");
    setWindowTitle(tr("Qavix Bank 複写 処理"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    auto* sourceLabel = new QLabel(tr("コピー元"), this);
    auto* destinationLabel = new QLabel(tr("コピー先"), this);
    m_sources = new QListWidget(this);
    m_sources->setObjectName("sources");
    m_destinations = new QListWidget(this);
    m_destinations->setObjectName("destinations");
    sourceLabel->setBuddy(m_sources);
    destinationLabel->setBuddy(m_destinations);
    m_sources->setAccessibleName(tr("コピー元"));
    m_destinations->setAccessibleName(tr("コピー先"));
    for (QListWidget* list : {m_sources, m_destinations}) {
        list->setFixedSize(kListWidth, kListHeight);
    }
    m_arrow = new QLabel("→", this);
    m_arrow->setObjectName("arrow");
    m_arrow->setAccessibleName(tr("コピー方向"));
    m_arrow->setFont(QFont("Noto Sans CJK JP", kArrowPointSize, QFont::Bold));
    m_arrowColour = readableOn(palette().color(QPalette::Window), kLightArrow, kDarkArrow);
    QPalette arrowPalette = m_arrow->palette();
    arrowPalette.setColor(QPalette::WindowText, m_arrowColour);
    m_arrow->setPalette(arrowPalette);
    m_arrow->setAlignment(Qt::AlignCenter);
    grid->addWidget(sourceLabel, 0, 0);
    grid->addWidget(destinationLabel, 0, 2);
    grid->addWidget(m_sources, 1, 0);
    grid->addWidget(m_arrow, 1, 1);
    grid->addWidget(m_destinations, 1, 2);
    layout->addLayout(grid);
    auto* run = bankDialogButton(tr("実行"), "run", banks.appState(), this);
    auto* cancel = bankDialogButton(tr("取消し"), "cancel", banks.appState(), this);
    layout->addLayout(runCancelRow(run, cancel));
    connect(run, &QToolButton::clicked, this, &CBankCopyDlg::execute);
    connect(cancel, &QToolButton::clicked, this, &QDialog::reject);

    fill(m_sources, bankrules::copySources(banks.model()));
    fillDestinations();
    connect(m_sources, &QListWidget::currentRowChanged, this, [this] { fillDestinations(); });

    // The arrow blinks by changing its colour to the background's, so the layout holds.
    m_blink.setInterval(kBlinkMs);
    connect(&m_blink, &QTimer::timeout, this, [this] {
        QPalette p = m_arrow->palette();
        const bool shown = p.color(QPalette::WindowText) == m_arrowColour;
        p.setColor(QPalette::WindowText, shown ? palette().color(QPalette::Window) : m_arrowColour);
        m_arrow->setPalette(p);
    });
    m_blink.start();
}

int CBankCopyDlg::setOf(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    return item == nullptr ? -1 : item->data(Qt::UserRole).toInt();
}

void CBankCopyDlg::fillDestinations() {
    const int source = setOf(m_sources);
    if (source < 0) {
        m_destinations->clear();
        return;
    }
    fill(m_destinations, bankrules::copyDestinations(source, m_banks.model().selectedSet()));
}

void CBankCopyDlg::execute() {
    const int source = setOf(m_sources);
    const int destination = setOf(m_destinations);
    if (source < 0 || destination < 0) {
        return;
    }
    switch (m_banks.copy(source, destination)) {
        case CBankManager::CopyOutcome::Done:
            accept();
            break;
        case CBankManager::CopyOutcome::Abandoned:
            reject();
            break;
        case CBankManager::CopyOutcome::Stay:
            break;
    }
}

}  // namespace qavix
