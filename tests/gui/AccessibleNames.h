#pragma once
// What a screen reader calls the drop-downs of a window: each must be called by the label
// it carries (its accessible name, else the label that names it as its buddy), never only
// by the entry it shows.

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <string>
#include <vector>

namespace qavix::test {

inline QString visibleLabelOf(const QComboBox* combo, const QWidget* root) {
    if (!combo->accessibleName().isEmpty()) {
        return combo->accessibleName();
    }
    for (const QLabel* label : root->findChildren<QLabel*>()) {
        if (label->buddy() == combo) {
            return label->text().remove('&');
        }
    }
    return {};
}

// "objectName: what a screen reader hears" for every drop-down shown under `root` that is
// not heard by its label.
inline std::vector<std::string> dropDownsNotCalledByTheirLabel(const QWidget* root) {
    std::vector<std::string> wrong;
    for (QComboBox* combo : root->findChildren<QComboBox*>()) {
        if (!combo->isVisibleTo(root)) {
            continue;
        }
        const QString label = visibleLabelOf(combo, root);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(combo);
        const QString heard = a != nullptr ? a->text(QAccessible::Name) : QString();
        if (label.isEmpty() || heard != label) {
            wrong.push_back(combo->objectName().toStdString() + ": " + heard.toStdString());
        }
    }
    return wrong;
}

}  // namespace qavix::test
