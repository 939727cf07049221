#include "widgets/StackAccessible.h"

#include <QAccessibleWidget>
#include <QStackedWidget>

namespace qavix {

namespace {

class StackAccessible : public QAccessibleWidget {
  public:
    explicit StackAccessible(QStackedWidget* stack)
        : QAccessibleWidget(stack, QAccessible::LayeredPane) {}

    int childCount() const override { return shownPage() != nullptr ? 1 : 0; }

    QAccessibleInterface* child(int index) const override {
        QWidget* page = shownPage();
        return index == 0 && page != nullptr ? QAccessible::queryAccessibleInterface(page)
                                             : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        QWidget* page = shownPage();
        return child != nullptr && page != nullptr && child->object() == page ? 0 : -1;
    }

  private:
    QWidget* shownPage() const {
        QWidget* page = static_cast<QStackedWidget*>(widget())->currentWidget();
        return page != nullptr && page->isVisible() ? page : nullptr;
    }
};

QAccessibleInterface* stackFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("QStackedWidget") || object == nullptr ||
        !object->isWidgetType()) {
        return nullptr;
    }
    return new StackAccessible(static_cast<QStackedWidget*>(object));
}

}  // namespace

void installStackAccessibility() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(stackFactory);
    }
}

}  // namespace qavix
