#include "frame/CLeftPaneView.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QVBoxLayout>
#include <functional>

#include "frame/NavigationTreeWidget.h"
#include "frame/TreeImages.h"

namespace qavix {

namespace {

using nav::ItemKind;

QTreeWidgetItem* findBelow(QTreeWidgetItem* parent, ItemKind kind, int channel) {
    if (parent == nullptr) {
        return nullptr;
    }
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem* child = parent->child(i);
        if (CLeftPaneView::kindOf(child) == kind &&
            (channel == 0 || child->data(0, CLeftPaneView::kRoleChannel).toInt() == channel)) {
            return child;
        }
        if (QTreeWidgetItem* found = findBelow(child, kind, channel)) {
            return found;
        }
    }
    return nullptr;
}

bool isBelow(const QTreeWidgetItem* item, const QTreeWidgetItem* ancestor) {
    for (const QTreeWidgetItem* p = item; p != nullptr; p = p->parent()) {
        if (p == ancestor) {
            return true;
        }
    }
    return false;
}

}  // namespace

CLeftPaneView::CLeftPaneView(AppState& state, CBankManager& banks, CRightPaneFrame& right,
                             QWidget* parent)
    : QWidget(parent), m_state(state), m_banks(banks), m_right(right) {
    setObjectName("CLeftPaneView");
    setMaximumWidth(kMaxWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tree = new NavigationTreeWidget(this);
    m_tree->setObjectName("navigationTree");
    m_tree->setAccessibleName(tr("ナビゲーション"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setIconSize(QSize(16, 16));
    m_tree->setFont(QFont("Noto Sans CJK JP", 9));
    // A text wider than the pane (a longer language, a large scale factor) scrolls sideways
    // rather than being cut short.
    m_tree->setTextElideMode(Qt::ElideNone);
    m_tree->header()->setStretchLastSection(false);
    m_tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_tree->installEventFilter(this);
    layout->addWidget(m_tree);

    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { onCurrentItemChanged(current); });
    connect(&m_state, &AppState::commBusyChanged, this, &CLeftPaneView::onCommBusyChanged);
    connect(&m_state, &AppState::pageRequested, this,
            [this](int page) { showRequestedPage(page); });
    connect(&m_state, &AppState::switchesWritten, this, &CLeftPaneView::followWrittenSwitches);
}

void CLeftPaneView::showRequestedPage(int page) {
    // The item that led here no longer names the page shown; choosing it again goes back.
    selectQuietly(nullptr);
    m_page = page;
    m_state.currentPage = page;
    m_right.showPage(page);
}

nav::ItemKind CLeftPaneView::kindOf(const QTreeWidgetItem* item) {
    return static_cast<ItemKind>(item->data(0, kRoleKind).toInt());
}

nav::TreeShape CLeftPaneView::shape() const {
    return nav::shapeOf(m_state.model(), m_state.extendedMode);
}

QTreeWidgetItem* CLeftPaneView::addItem(QTreeWidgetItem* parent, const nav::NavItem& n) {
    auto* item = new QTreeWidgetItem();
    item->setText(0, QString::fromStdString(n.text));
    item->setIcon(0, treeImage(n.image));
    item->setData(0, kRoleKind, static_cast<int>(n.kind));
    item->setData(0, kRolePage, n.page);
    item->setData(0, kRoleNavKind, n.navKind);
    item->setData(0, kRoleChannel, n.channel);
    item->setData(0, kRoleBank, n.bank);
    item->setData(0, kRoleTitle, QString::fromStdString(n.title));
    item->setData(0, kRoleWrittenTitle, QString::fromStdString(n.writtenTitle));
    item->setData(0, kRoleImage, n.image);
    item->setData(0, kRoleFromLastShown, n.channelFromLastShown);
    item->setData(0, kRoleChartItem, n.isChartItem());
    if (parent != nullptr) {
        parent->addChild(item);
    } else {
        m_tree->addTopLevelItem(item);
    }
    addChildren(item, n.children);
    return item;
}

QTreeWidgetItem* CLeftPaneView::addRoot(const nav::NavItem& n) {
    QTreeWidgetItem* item = addItem(nullptr, n);
    m_roots.at(static_cast<size_t>(n.bank)) = item;
    return item;
}

void CLeftPaneView::addChildren(QTreeWidgetItem* parent,
                                const std::vector<nav::NavItem>& children) {
    for (const nav::NavItem& c : children) {
        addItem(parent, c);
    }
}

void CLeftPaneView::forgetItemsBelow(QTreeWidgetItem* doomed, QTreeWidgetItem* fallback) {
    // The right pane's selected item is compared and walked up later; it must never be
    // left pointing at a deleted item.
    if (m_previous != nullptr && isBelow(m_previous, doomed)) {
        m_previous = fallback;
    }
    if (m_chartItem != nullptr && isBelow(m_chartItem, doomed)) {
        m_chartItem = nullptr;
    }
    if (m_right.selectedItem() != nullptr && isBelow(m_right.selectedItem(), doomed)) {
        m_right.setSelectedItem(nullptr);
    }
}

void CLeftPaneView::removeChildren(QTreeWidgetItem* root) {
    if (root == nullptr) {
        return;
    }
    const bool was = m_rebuilding;
    m_rebuilding = true;
    for (int i = 0; i < root->childCount(); ++i) {
        forgetItemsBelow(root->child(i), root);
    }
    qDeleteAll(root->takeChildren());
    m_rebuilding = was;
}

void CLeftPaneView::buildTree() {
    m_rebuilding = true;
    m_tree->clear();
    m_roots.fill(nullptr);
    m_previous = nullptr;
    m_chartItem = nullptr;
    m_right.setSelectedItem(nullptr);
    const nav::TreeShape s = shape();
    for (const nav::NavItem& root : nav::rootItems(s)) {
        addRoot(root);
    }
    QTreeWidgetItem* current = m_roots[kCurrentSet];
    addChildren(current, nav::currentValuesChildren(s));
    current->setExpanded(true);
    m_tree->setCurrentItem(current);
    m_previous = current;
    m_rebuilding = false;
}

void CLeftPaneView::rebuildCurrentValues() {
    QTreeWidgetItem* current = m_roots[kCurrentSet];
    removeChildren(current);
    const bool was = m_rebuilding;
    m_rebuilding = true;
    addChildren(current, nav::currentValuesChildren(shape()));
    m_rebuilding = was;
}

void CLeftPaneView::rebuildBank(int bank) {
    QTreeWidgetItem* root = m_roots.at(static_cast<size_t>(bank));
    if (root == nullptr) {
        return;
    }
    removeChildren(root);
    const bool was = m_rebuilding;
    m_rebuilding = true;
    addChildren(root, nav::bankChildren(shape(), bank));
    m_rebuilding = was;
}

void CLeftPaneView::removeBankSubtrees() {
    for (int b = 1; b <= kBankCount; ++b) {
        removeChildren(m_roots[static_cast<size_t>(b)]);
    }
}

void CLeftPaneView::removeBankRoots() {
    const bool was = m_rebuilding;
    m_rebuilding = true;
    for (int b = 1; b <= kBankCount; ++b) {
        QTreeWidgetItem*& root = m_roots[static_cast<size_t>(b)];
        if (root == nullptr) {
            continue;
        }
        forgetItemsBelow(root, m_roots[kCurrentSet]);
        delete root;
        root = nullptr;
    }
    m_rebuilding = was;
}

void CLeftPaneView::addBankRoots() {
    const bool was = m_rebuilding;
    m_rebuilding = true;
    const std::vector<nav::NavItem> roots = nav::rootItems(shape());
    for (size_t i = 1; i < roots.size(); ++i) {
        addRoot(roots[i]);
    }
    m_rebuilding = was;
}

void CLeftPaneView::selectQuietly(QTreeWidgetItem* item) {
    const bool was = m_rebuilding;
    m_rebuilding = true;
    m_tree->setCurrentItem(item);
    m_rebuilding = was;
}

int CLeftPaneView::setOfRoot(const QTreeWidgetItem* item) const {
    for (int s = 0; s <= kBankCount; ++s) {
        if (m_roots[static_cast<size_t>(s)] == item) {
            return s;
        }
    }
    return -1;
}

bool CLeftPaneView::isSetSwitch(QTreeWidgetItem* item) const {
    const int set = setOfRoot(item);
    return set >= 0 && item->childCount() == 0 && set != m_state.model().selectedSet();
}

void CLeftPaneView::onCurrentItemChanged(QTreeWidgetItem* current) {
    if (m_rebuilding || current == nullptr) {
        return;
    }
    if (m_refusedSwitch) {
        m_refusedSwitch = false;
        return;
    }
    if (m_state.treeMustStay()) {
        selectQuietly(m_previous);
        return;
    }
    if (!m_armed) {
        m_armed = true;
        return;
    }
    QTreeWidgetItem* item = current;
    if (isSetSwitch(item)) {
        const int set = setOfRoot(item);
        if (m_banks.switchToBank(set) == 0) {
            m_refusedSwitch = true;
            m_tree->setCurrentItem(m_previous);
            // Selecting the item that is already current gives no notification to absorb.
            m_refusedSwitch = false;
            return;
        }
        removeBankSubtrees();
        removeChildren(m_roots[kCurrentSet]);
        if (set == kCurrentSet) {
            rebuildCurrentValues();
        } else {
            rebuildBank(set);
        }
        m_right.splitterView()->markSetSwitched();
        item = m_roots[static_cast<size_t>(set)];
    }
    applySelection(item);
}

void CLeftPaneView::applySelection(QTreeWidgetItem* item) {
    item->setExpanded(true);
    if (m_tree->currentItem() != item) {
        selectQuietly(item);
    }
    m_previous = item;
    m_channel = 0;
    m_bank = 0;
    m_chartItem = nullptr;

    m_page = item->data(0, kRolePage).toInt();
    m_channel = item->data(0, kRoleChannel).toInt();
    m_bank = item->data(0, kRoleBank).toInt();
    if (item->data(0, kRoleFromLastShown).toBool()) {
        m_channel = m_state.lastShownChannel == 0 ? 1 : m_state.lastShownChannel;
    }
    if (item->data(0, kRoleChartItem).toBool()) {
        m_chartItem = item;
    }
    m_state.pageTitle = item->data(0, kRoleTitle).toString();
    m_state.pageWrittenTitle = item->data(0, kRoleWrittenTitle).toString().toStdString();
    if (m_page == nav::kPageNavigation) {
        m_right.setNavigationKind(item->data(0, kRoleNavKind).toInt());
    }
    m_state.chartItemSelected = m_chartItem != nullptr;
    m_right.setSelectedItem(item);
    showPageOfSelection();
}

void CLeftPaneView::showPageOfSelection() {
    m_state.currentPage = m_page;
    m_state.selectedChannel = m_channel;
    // A page takes the focus when it is shown; moving through the tree with the arrow keys
    // (or clicking in it) must leave the focus where the next arrow key is expected.
    const bool treeHadFocus = m_tree->hasFocus();
    m_right.showPage(m_page);
    if (treeHadFocus) {
        giveFocusBackToTree();
    }
}

void CLeftPaneView::onCommBusyChanged(bool busy) {
    if (busy) {
        // Disabling the pane throws the focus out of the tree, to the next widget that
        // takes it or to none at all.
        m_treeHadFocusWhenBusy = m_tree->hasFocus();
        setEnabled(false);
        m_focusAfterDisabling = QApplication::focusWidget();
        return;
    }
    setEnabled(true);
    // Back only when nothing else asked for the focus during the transfer.
    if (m_treeHadFocusWhenBusy && QApplication::focusWidget() == m_focusAfterDisabling) {
        giveFocusBackToTree();
    }
    m_treeHadFocusWhenBusy = false;
    m_focusAfterDisabling = nullptr;
}

void CLeftPaneView::giveFocusBackToTree() {
    if (m_tree->hasFocus() || !m_tree->isEnabled()) {
        return;
    }
    // The tree never really lost the user: no refresh as when the user moves into it.
    m_givingFocusBack = true;
    m_tree->setFocus(Qt::OtherFocusReason);
    m_givingFocusBack = false;
}

void CLeftPaneView::closeBeamPage(int pageIndex) {
    // A beam designation not yet written keeps the beam page, as it keeps any page.
    if (m_state.treeMustStay()) {
        return;
    }
    showRequestedPage(pageIndex);
}

QTreeWidgetItem* CLeftPaneView::findItem(nav::ItemKind kind, int set, int channel) const {
    return findBelow(m_roots.at(static_cast<size_t>(set)), kind, channel);
}

void CLeftPaneView::selectSet(int set) {
    if (set == kCurrentSet) {
        removeBankSubtrees();
        removeBankRoots();
        removeChildren(m_roots[kCurrentSet]);
        buildTree();
    } else {
        if (m_roots.at(static_cast<size_t>(set)) == nullptr) {
            return;
        }
        removeChildren(m_roots[kCurrentSet]);
        removeBankSubtrees();
        rebuildBank(set);
    }
    // As if the set's root had been chosen: the right pane shows that set's own board, and
    // the page index, title and channel are the root's, not those of the page left behind.
    applySelection(m_roots.at(static_cast<size_t>(set)));
}

void CLeftPaneView::refreshBankImages() {
    const nav::TreeShape s = shape();
    for (int b = 1; b <= kBankCount; ++b) {
        QTreeWidgetItem* root = m_roots[static_cast<size_t>(b)];
        if (root != nullptr) {
            const int image = s.bankHasData[static_cast<size_t>(b - 1)] ? nav::kImageBankWithData
                                                                        : nav::kImageBankEmpty;
            root->setIcon(0, treeImage(image));
            root->setData(0, kRoleImage, image);
        }
    }
}

bool CLeftPaneView::measurementMatches(QTreeWidgetItem* setRoot) const {
    const nav::TreeShape s = shape();
    const bool has[3] = {findBelow(setRoot, ItemKind::OverallJudgement, 0) != nullptr,
                         findBelow(setRoot, ItemKind::ParallelOutput, 0) != nullptr,
                         findBelow(setRoot, ItemKind::GroupJudgement, 0) != nullptr};
    return has[0] == s.overallJudgement && has[1] == s.parallelOutput && has[2] == s.groupJudgement;
}

void CLeftPaneView::refreshBankMeasurement(int bank, bool showOptions) {
    QTreeWidgetItem* root = m_roots.at(static_cast<size_t>(bank));
    if (root == nullptr || measurementMatches(root)) {
        return;
    }
    QTreeWidgetItem* controller = findBelow(root, ItemKind::Controller, 0);
    if (controller == nullptr) {
        return;
    }
    const nav::TreeShape s = shape();
    const bool was = m_rebuilding;
    m_rebuilding = true;
    QTreeWidgetItem* folder = findBelow(controller, ItemKind::Measurement, 0);
    if (folder != nullptr) {
        removeChildren(folder);
    }
    if (!s.anyMeasurement()) {
        if (folder != nullptr) {
            forgetItemsBelow(folder, controller);
            delete folder;
        }
    } else {
        if (folder == nullptr) {
            nav::NavItem f;
            f.kind = ItemKind::Measurement;
            f.text = tr("計測処理").toStdString();
            f.image = nav::kImageMeasurement;
            f.navKind = 3 + bank;
            f.bank = bank;
            folder = addItem(controller, f);
        }
        addChildren(folder, nav::measurementItems(s, bank));
        folder->setExpanded(true);
    }
    QTreeWidgetItem* options = nullptr;
    if (m_state.extendedMode) {
        if (QTreeWidgetItem* old = findBelow(controller, ItemKind::Options, 0)) {
            forgetItemsBelow(old, controller);
            delete old;
        }
        options = addItem(controller, nav::optionsItem(bank));
    }
    m_rebuilding = was;
    if (options != nullptr && showOptions) {
        // Selecting it shows the option page again.
        m_tree->setCurrentItem(options);
    }
}

void CLeftPaneView::refreshCurrentValues() {
    removeBankSubtrees();
    removeBankRoots();
    const nav::TreeShape s = shape();
    if (measurementMatches(m_roots[kCurrentSet])) {
        if (s.bankFunction) {
            addBankRoots();
        }
        return;
    }
    buildTree();
    if (m_state.extendedMode && m_activatedOnce) {
        if (QTreeWidgetItem* options = findItem(ItemKind::Options, kCurrentSet)) {
            selectQuietly(options);
            m_previous = options;
        }
    }
    if (s.anyMeasurement()) {
        if (QTreeWidgetItem* folder = findItem(ItemKind::Measurement, kCurrentSet)) {
            folder->setExpanded(true);
        }
    }
}

void CLeftPaneView::refreshOnActivation() {
    if (shape().bankFunction) {
        refreshBankImages();
    }
    const int selected = m_state.model().selectedSet();
    if (selected != kCurrentSet) {
        refreshBankMeasurement(selected, true);
    } else {
        refreshCurrentValues();
    }
    m_activatedOnce = true;
}

void CLeftPaneView::followWrittenSwitches() {
    const int selected = m_state.model().selectedSet();
    if (selected != kCurrentSet) {
        refreshBankMeasurement(selected, false);
    } else {
        refreshCurrentValues();
    }
    // The write is still in progress (the tree refuses selections), and the page that
    // wrote stays in front: its item is selected quietly.
    if (m_state.currentPage != nav::kPageOptions) {
        return;
    }
    if (QTreeWidgetItem* options = findItem(ItemKind::Options, selected)) {
        selectQuietly(options);
        m_previous = options;
        m_right.setSelectedItem(options);
    }
}

bool CLeftPaneView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_tree && event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // The pane becomes the active view when the user moves into it, not when the
        // window regains activation or a popup closes.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            !m_givingFocusBack) {
            refreshOnActivation();
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace qavix
