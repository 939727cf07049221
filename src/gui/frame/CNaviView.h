#pragma once
// The page the right pane shows for a folder of the tree: a board of page labels that a
// click, or Tab and Enter or Space, activates, with one-line descriptions, grouped as the tree is,
// with small animations at the group headers and three web links. A click selects the matching tree
// item, so the page switch always runs through the tree.

#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QScrollArea>
#include <functional>
#include <map>
#include <vector>

#include "frame/NaviBoard.h"

namespace qavix {

class CPictureButton;

class CNaviView : public QScrollArea {
    Q_OBJECT
  public:
    // Selects the tree item of `item` below the root of `set` (0 or a bank), for `channel`.
    using ClickHandler = std::function<void(nav::ItemKind item, int set, int channel)>;

    enum WebLink { kLinkProducts = 0, kLinkProductsPicture = 1, kLinkHome = 2, kLinkCount = 3 };
    // What a screen reader calls the two picture links (the first one carries its text).
    static constexpr const char* kProductsPictureName =
        QT_TRANSLATE_NOOP("qavix::CNaviView", "製品情報");
    static constexpr const char* kHomeName = QT_TRANSLATE_NOOP("qavix::CNaviView", "ホームページ");

    explicit CNaviView(std::function<nav::TreeShape()> shape, QWidget* parent = nullptr);
    ~CNaviView() override;

    void setNavigationKind(int kind);
    int navigationKind() const { return m_kind; }

    void setClickHandler(ClickHandler handler) { m_onClick = std::move(handler); }
    // While it answers true (a read or write runs) clicks are ignored.
    void setBusyQuery(std::function<bool()> busy) { m_busy = std::move(busy); }
    // With `active` the three links carry their addresses and open them when clicked;
    // otherwise they are plain text.
    void setWebLinks(bool active, const QString& webAddr, const QString& homeAddr);

    // What a click on label `id` does.
    void activateLabel(int id);

    // The texts of the labels shown now, in board order.
    QStringList labels() const;
    QStringList groupHeaders() const;
    QPushButton* labelWidget(int id) const;
    CPictureButton* linkButton(int link) const { return m_links[link]; }
    QString linkTarget(int link) const { return m_targets[link]; }
    const std::vector<QMovie*>& pictures() const { return m_movies; }

  signals:
    // A link with an address was clicked; the view opens it with the desktop's browser.
    void linkOpened(const QString& address);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    struct LabelEntry {
        const nav::BoardLabel* label;
        int set;
        QPushButton* widget;
        QLabel* description;
    };
    struct SectionEntry {
        const nav::BoardSection* section;
        QWidget* widget;
    };

    void buildBoard();
    QWidget* makeGroup(const nav::BoardGroup& group, int index);
    QWidget* makeHeader(const QString& text, nav::HeaderStyle style, nav::Picture picture,
                        bool top);
    QWidget* makeLinks();
    void openLink(int link);
    void startPictures();
    void stopPictures();

    std::function<nav::TreeShape()> m_shape;
    ClickHandler m_onClick;
    std::function<bool()> m_busy;
    QWidget* m_board = nullptr;
    std::vector<QWidget*> m_groups;
    std::vector<SectionEntry> m_sections;
    std::vector<LabelEntry> m_labels;
    std::map<int, size_t> m_labelIndex;
    std::vector<QMovie*> m_movies;
    CPictureButton* m_links[kLinkCount] = {};
    QString m_targets[kLinkCount];
    int m_kind = 0;
};

}  // namespace qavix
