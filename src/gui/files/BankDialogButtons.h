#pragma once
// The picture buttons and the texture the bank dialogs share.

#include <QHBoxLayout>
#include <QString>

#include "widgets/CPictureButton.h"

namespace qavix {

class AppState;

// A text-only picture button in the texture of the user's settings.
CPictureButton* bankDialogButton(const QString& text, const QString& objectName,
                                 const AppState* state, QWidget* parent);

// "実行" and "取消し" at the right of a row; returns the row.
QHBoxLayout* runCancelRow(CPictureButton* run, CPictureButton* cancel);

}  // namespace qavix
