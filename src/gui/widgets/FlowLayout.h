#pragma once
// A layout that puts its widgets in a row, squeezes them towards their minimum widths as a
// box layout does, and starts a new row where even that does not fit, so a command bar
// narrower than its controls shows them on more rows instead of laying them over each
// other. A widget added with Qt::AlignRight goes to the right end of its row. Its height
// depends on its width (heightForWidth); the row a bar sits in asks for it.

#include <QLayout>
#include <QList>
#include <initializer_list>

namespace qavix {

class FlowLayout : public QLayout {
  public:
    explicit FlowLayout(QWidget* parent = nullptr, int horizontalSpacing = 6,
                        int verticalSpacing = 4);
    ~FlowLayout() override;

    // QLayout::addWidget, with the widget's place in its row.
    void addAligned(QWidget* widget, Qt::Alignment alignment);
    // Puts `widget` at `index` of the widgets in order.
    void insertWidget(int index, QWidget* widget);

    void addItem(QLayoutItem* item) override;
    int count() const override { return static_cast<int>(m_items.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;

    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    // The narrowest it can be: its widest widget's minimum.
    QSize minimumSize() const override;
    // Everything on one row.
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

  private:
    // Places the items in `rect` (or only measures, with `place` false); the height used.
    int arrange(const QRect& rect, bool place) const;

    QList<QLayoutItem*> m_items;
    int m_horizontalSpacing;
    int m_verticalSpacing;
};

// Widgets that stay side by side when their row wraps (a caption and its field), in a
// container made for them.
QWidget* keepTogether(std::initializer_list<QWidget*> widgets, QWidget* parent, int spacing = 6);

}  // namespace qavix
