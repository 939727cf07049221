#include "widgets/LabelledComboAccessible.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace qavix {

namespace {

class LabelledComboAccessible : public QAccessibleWidget {
  public:
    explicit LabelledComboAccessible(QComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QComboBox* combo() const { return static_cast<QComboBox*>(object()); }

    QString text(QAccessible::Text t) const override {
        switch (t) {
            case QAccessible::Name: {
                // The accessible name, else the label whose buddy the drop-down is.
                const QString name = QAccessibleWidget::text(t);
                return name.isEmpty() ? value() : name;
            }
            case QAccessible::Value:
                return value();
            default:
                return QAccessibleWidget::text(t);
        }
    }

    // The list that opens, and the entry field of an editable drop-down.
    int childCount() const override { return combo()->lineEdit() != nullptr ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0) {
            return QAccessible::queryAccessibleInterface(combo()->view());
        }
        if (index == 1 && combo()->lineEdit() != nullptr) {
            return QAccessible::queryAccessibleInterface(combo()->lineEdit());
        }
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr) {
            return -1;
        }
        if (child->object() == combo()->view()) {
            return 0;
        }
        if (combo()->lineEdit() != nullptr && child->object() == combo()->lineEdit()) {
            return 1;
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        QLineEdit* edit = combo()->lineEdit();
        if (edit != nullptr && edit->isVisible() &&
            QRect(edit->mapToGlobal(QPoint(0, 0)), edit->size()).contains(x, y)) {
            return QAccessible::queryAccessibleInterface(edit);
        }
        return nullptr;
    }

    QStringList actionNames() const override {
        return {QAccessibleActionInterface::showMenuAction(),
                QAccessibleActionInterface::pressAction()};
    }
    void doAction(const QString& action) override {
        if (action == QAccessibleActionInterface::showMenuAction() ||
            action == QAccessibleActionInterface::pressAction()) {
            if (combo()->view()->isVisible()) {
                combo()->hidePopup();
            } else {
                combo()->showPopup();
            }
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    QString value() const {
        return combo()->lineEdit() != nullptr ? combo()->lineEdit()->text()
                                              : combo()->currentText();
    }
};

QAccessibleInterface* comboFactory(const QString& /*className*/, QObject* object) {
    // Every class derived from the drop-down, the program's own among them, is one.
    if (auto* combo = qobject_cast<QComboBox*>(object)) {
        return new LabelledComboAccessible(combo);
    }
    return nullptr;
}

}  // namespace

void installLabelledComboAccessibility() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(comboFactory);
    }
}

}  // namespace qavix
