#pragma once
// The navigation tree: the stored sets as roots and, below the one being worked on, its
// folders and pages. Selecting an item decides what the right pane shows; selecting another
// set's root switches the working set through the bank manager's editing guard.

#include <QPointer>
#include <QTreeWidget>
#include <array>

#include "frame/CBankManager.h"
#include "frame/CRightPaneFrame.h"
#include "frame/NavigationTree.h"
#include "state/AppState.h"

namespace qavix {

class CLeftPaneView : public QWidget {
    Q_OBJECT
  public:
    // Item data roles holding the NavItem fields.
    enum Role : int {
        kRoleKind = Qt::UserRole + 1,
        kRolePage,
        kRoleNavKind,
        kRoleChannel,
        kRoleBank,
        kRoleTitle,
        kRoleImage,
        kRoleFromLastShown,
        kRoleChartItem,
        kRoleWrittenTitle,
    };
    static constexpr int kMaxWidth = 220;

    CLeftPaneView(AppState& state, CBankManager& banks, CRightPaneFrame& right,
                  QWidget* parent = nullptr);

    // Builds the whole tree for the current values (the view's first update).
    void buildTree();
    // Switches the tree to set `set` (0..4) from outside: bank bar, bank operations, a
    // change of port or unit.
    void selectSet(int set);
    void rebuildCurrentValues();
    void rebuildBank(int bank);
    void removeBankSubtrees();
    void removeBankRoots();
    void addBankRoots();
    // What the pane does when it becomes the active view: bank images, and the
    // measurement-processing and bank items when their switches changed.
    void refreshOnActivation();
    // After the option page wrote its switches: the measurement-processing and bank items
    // follow them, and the option page stays shown with its item selected.
    void followWrittenSwitches();

    // Back from a beam page to the page `pageIndex` that opened it; the channel and title
    // are still the opener's, since a page request leaves them alone.
    void closeBeamPage(int pageIndex);

    int pageIndex() const { return m_page; }
    int selectedChannel() const { return m_channel; }
    int selectedBank() const { return m_bank; }
    QTreeWidgetItem* chartItem() const { return m_chartItem; }
    QTreeWidget* tree() const { return m_tree; }
    QTreeWidgetItem* rootItem(int set) const { return m_roots.at(static_cast<size_t>(set)); }
    QTreeWidgetItem* previousItem() const { return m_previous; }
    // The item of `kind` below the root of `set`; `channel` picks a sensor's item.
    QTreeWidgetItem* findItem(nav::ItemKind kind, int set, int channel = 0) const;

    static nav::ItemKind kindOf(const QTreeWidgetItem* item);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void onCurrentItemChanged(QTreeWidgetItem* current);
    bool isSetSwitch(QTreeWidgetItem* item) const;
    int setOfRoot(const QTreeWidgetItem* item) const;
    void applySelection(QTreeWidgetItem* item);
    void selectQuietly(QTreeWidgetItem* item);
    // Hands the page index and channel to the application and shows the page.
    void showPageOfSelection();
    void onCommBusyChanged(bool busy);
    void giveFocusBackToTree();
    // Shows a page another page asked for, leaving the channel and title as they were.
    void showRequestedPage(int page);
    QTreeWidgetItem* addItem(QTreeWidgetItem* parent, const nav::NavItem& item);
    QTreeWidgetItem* addRoot(const nav::NavItem& item);
    void addChildren(QTreeWidgetItem* parent, const std::vector<nav::NavItem>& children);
    void removeChildren(QTreeWidgetItem* root);
    // Before `doomed` and everything below it are deleted: the previous item falls back
    // to `fallback`, the chart item and the right pane's selected item are forgotten.
    void forgetItemsBelow(QTreeWidgetItem* doomed, QTreeWidgetItem* fallback);
    void refreshBankImages();
    // `showOptions`: the re-inserted option item is selected as the user would, showing
    // its page; otherwise the caller keeps the page shown.
    void refreshBankMeasurement(int bank, bool showOptions);
    void refreshCurrentValues();
    bool measurementMatches(QTreeWidgetItem* setRoot) const;
    nav::TreeShape shape() const;

    AppState& m_state;
    CBankManager& m_banks;
    CRightPaneFrame& m_right;
    QTreeWidget* m_tree = nullptr;
    std::array<QTreeWidgetItem*, kBankCount + 1> m_roots{};
    QTreeWidgetItem* m_previous = nullptr;
    QTreeWidgetItem* m_chartItem = nullptr;
    int m_page = nav::kPageNavigation;
    int m_channel = 0;
    int m_bank = 0;
    bool m_rebuilding = false;
    bool m_refusedSwitch = false;
    bool m_armed = true;
    bool m_activatedOnce = false;
    bool m_givingFocusBack = false;
    bool m_treeHadFocusWhenBusy = false;
    QPointer<QWidget> m_focusAfterDisabling;
};

}  // namespace qavix
