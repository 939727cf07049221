#pragma once
// The backgrounds of changed and invalid fields, shared by every setting page.

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QLineEdit>

#include "model/PageEditState.h"

namespace qavix {

inline const QColor kChangedFieldColour(255, 255, 176);
inline const QColor kInvalidFieldColour(255, 0, 0);

// An edit box in the colour of its state; unchanged gives the normal background back.
void paintField(QLineEdit* edit, FieldState state);
// A check box on the changed colour while it differs from the stored value.
void paintField(QCheckBox* box, FieldState state);

// A drop-down list that shows it was changed: its face is filled with the changed colour,
// leaving the drop button and a two-pixel border uncovered.
class FieldComboBox : public QComboBox {
    Q_OBJECT
  public:
    using QComboBox::QComboBox;

    void setFieldState(FieldState state);
    FieldState fieldState() const { return m_state; }
    // The part of the face the changed colour covers.
    QRect changedRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    FieldState m_state = FieldState::Unchanged;
};

}  // namespace qavix
