#pragma once
// A list of properties: one row per item with its name and value text. The selected row
// shows the item's editor in place (a text field, a drop-down of fixed choices, or a
// colour text with a "..." button that opens the colour dialog); leaving the list closes
// the editor and keeps what it holds.

#include <QColor>
#include <QStringList>
#include <QTableWidget>
#include <functional>
#include <vector>

class QLineEdit;
class QComboBox;

namespace qavix {

class PropertyList : public QTableWidget {
    Q_OBJECT
  public:
    enum class Editor { Text, Choice, Colour };
    // How colour texts and colours convert; the default reads and writes "#rrggbb".
    using ColourFromText = std::function<QColor(const QString&)>;
    using TextFromColour = std::function<QString(const QColor&)>;
    // Runs the colour dialog; returns an invalid colour when it was cancelled.
    using ColourPicker = std::function<QColor(const QColor& initial, QWidget* parent)>;

    explicit PropertyList(QWidget* parent = nullptr);

    int addItem(const QString& name, Editor editor, const QString& value,
                const QStringList& choices = {});
    void setColourCodec(ColourFromText fromText, TextFromColour toText);
    void setColourPicker(ColourPicker picker) { m_picker = std::move(picker); }

    QString value(int row) const;
    void setValue(int row, const QString& text);
    Editor editorKind(int row) const { return m_rows.at(static_cast<size_t>(row)).editor; }

    // Opens the editor of `row` (selecting it); closes it and keeps its text.
    void openEditor(int row);
    void closeEditor();
    QWidget* openEditorWidget() const { return m_editor; }
    int editorRow() const { return m_editorRow; }

    // The "..." button of the open colour editor.
    void pickColour();

  signals:
    void valueChanged(int row);

  private:
    struct Row {
        Editor editor = Editor::Text;
        QStringList choices;
    };

    QWidget* makeEditor(int row);
    void refreshSwatch(int row);
    void onFocusChanged(QWidget* old, QWidget* now);

    std::vector<Row> m_rows;
    QWidget* m_editor = nullptr;
    QLineEdit* m_line = nullptr;
    QComboBox* m_combo = nullptr;
    int m_editorRow = -1;
    bool m_picking = false;
    ColourFromText m_fromText;
    TextFromColour m_toText;
    ColourPicker m_picker;
};

}  // namespace qavix
