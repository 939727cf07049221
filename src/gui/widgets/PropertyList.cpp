#include "widgets/PropertyList.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>

namespace qavix {

namespace {

constexpr int kNameColumn = 0;
constexpr int kValueColumn = 1;
constexpr int kNameWidth = 170;
constexpr int kSwatchSize = 12;
constexpr int kRowPadding = 8;

QIcon swatch(const QColor& c) {
    QPixmap pm(kSwatchSize, kSwatchSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(90, 90, 90));
    p.setBrush(c);
    p.drawRect(0, 0, kSwatchSize - 1, kSwatchSize - 1);
    return QIcon(pm);
}

bool isInside(const QWidget* w, const QWidget* ancestor) {
    for (const QWidget* p = w; p != nullptr; p = p->parentWidget()) {
        if (p == ancestor) {
            return true;
        }
    }
    return false;
}

}  // namespace

PropertyList::PropertyList(QWidget* parent) : QTableWidget(0, 2, parent) {
    setObjectName("PropertyList");
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(kNameColumn, QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(kValueColumn, QHeaderView::Stretch);
    setColumnWidth(kNameColumn, kNameWidth);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setShowGrid(true);
    setGridStyle(Qt::DotLine);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + kRowPadding);
    m_fromText = [](const QString& t) { return QColor(t); };
    m_toText = [](const QColor& c) { return c.name(); };
    m_picker = [](const QColor& initial, QWidget* owner) {
        return QColorDialog::getColor(initial, owner);
    };
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
        if (row != previous) {
            closeEditor();
            if (row >= 0) {
                openEditor(row);
            }
        }
    });
    connect(qApp, &QApplication::focusChanged, this, &PropertyList::onFocusChanged);
}

int PropertyList::addItem(const QString& name, Editor editor, const QString& value,
                          const QStringList& choices) {
    const int row = rowCount();
    insertRow(row);
    auto* nameItem = new QTableWidgetItem(name);
    nameItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    setItem(row, kNameColumn, nameItem);
    auto* valueItem = new QTableWidgetItem(value);
    valueItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    setItem(row, kValueColumn, valueItem);
    m_rows.push_back(Row{editor, choices});
    refreshSwatch(row);
    return row;
}

void PropertyList::setColourCodec(ColourFromText fromText, TextFromColour toText) {
    m_fromText = std::move(fromText);
    m_toText = std::move(toText);
    for (int r = 0; r < rowCount(); ++r) {
        refreshSwatch(r);
    }
}

QString PropertyList::value(int row) const {
    if (row == m_editorRow) {
        if (m_line != nullptr) {
            return m_line->text();
        }
        if (m_combo != nullptr) {
            return m_combo->currentText();
        }
    }
    const QTableWidgetItem* it = item(row, kValueColumn);
    return it == nullptr ? QString() : it->text();
}

void PropertyList::setValue(int row, const QString& text) {
    QTableWidgetItem* it = item(row, kValueColumn);
    if (it == nullptr) {
        return;
    }
    if (row == m_editorRow) {
        if (m_line != nullptr) {
            m_line->setText(text);
        } else if (m_combo != nullptr) {
            m_combo->setCurrentText(text);
        }
    }
    if (it->text() != text) {
        it->setText(text);
        refreshSwatch(row);
        emit valueChanged(row);
    }
}

void PropertyList::refreshSwatch(int row) {
    QTableWidgetItem* it = item(row, kValueColumn);
    if (it == nullptr || m_rows[static_cast<size_t>(row)].editor != Editor::Colour) {
        return;
    }
    const QColor c = m_fromText(it->text());
    it->setIcon(c.isValid() ? swatch(c) : QIcon());
}

QWidget* PropertyList::makeEditor(int row) {
    const Row& r = m_rows[static_cast<size_t>(row)];
    const QString text = item(row, kValueColumn)->text();
    m_line = nullptr;
    m_combo = nullptr;
    switch (r.editor) {
        case Editor::Text: {
            m_line = new QLineEdit(text);
            m_line->setFrame(false);
            return m_line;
        }
        case Editor::Choice: {
            m_combo = new QComboBox();
            m_combo->addItems(r.choices);
            m_combo->setCurrentText(text);
            return m_combo;
        }
        case Editor::Colour: {
            auto* box = new QWidget();
            auto* layout = new QHBoxLayout(box);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(2);
            m_line = new QLineEdit(text, box);
            m_line->setFrame(false);
            auto* more = new QToolButton(box);
            more->setObjectName("colourButton");
            more->setText("...");
            more->setAccessibleName(tr("色の選択"));
            more->setToolTip(tr("色の選択"));
            layout->addWidget(m_line, 1);
            layout->addWidget(more);
            connect(more, &QToolButton::clicked, this, &PropertyList::pickColour);
            return box;
        }
    }
    return nullptr;
}

void PropertyList::openEditor(int row) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    if (m_editorRow == row && m_editor != nullptr) {
        return;
    }
    closeEditor();
    if (currentRow() != row) {
        // Selecting the row comes back here through currentCellChanged.
        setCurrentCell(row, kValueColumn);
        return;
    }
    m_editorRow = row;
    m_editor = makeEditor(row);
    setCellWidget(row, kValueColumn, m_editor);
    if (m_line != nullptr) {
        m_line->setFocus();
        m_line->selectAll();
    } else if (m_combo != nullptr) {
        m_combo->setFocus();
    }
}

void PropertyList::closeEditor() {
    if (m_editor == nullptr) {
        return;
    }
    const int row = m_editorRow;
    const QString text = value(row);
    m_editorRow = -1;
    m_line = nullptr;
    m_combo = nullptr;
    m_editor = nullptr;
    removeCellWidget(row, kValueColumn);
    setValue(row, text);
}

void PropertyList::pickColour() {
    if (m_editorRow < 0 || m_line == nullptr) {
        return;
    }
    const int row = m_editorRow;
    m_picking = true;
    const QColor chosen = m_picker(m_fromText(m_line->text()), this);
    m_picking = false;
    if (chosen.isValid()) {
        const QString text = m_toText(chosen);
        if (m_editorRow == row && m_line != nullptr) {
            m_line->setText(text);
        }
        setValue(row, text);
    }
}

void PropertyList::onFocusChanged(QWidget* /*old*/, QWidget* now) {
    if (m_editor == nullptr || m_picking) {
        return;
    }
    if (now == nullptr || !isInside(now, this)) {
        closeEditor();
    }
}

}  // namespace qavix
