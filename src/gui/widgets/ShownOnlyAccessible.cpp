#include "widgets/ShownOnlyAccessible.h"

#include <QAccessibleWidget>
#include <QFocusFrame>
#include <QMenu>
#include <QStackedWidget>

namespace qavix {

namespace {

// The children Qt itself would offer, less the hidden ones.
QList<QWidget*> shownChildren(const QWidget* parent) {
    QList<QWidget*> out;
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w == nullptr || w->isWindow() || w->isHidden() || qobject_cast<QFocusFrame*>(w) ||
            qobject_cast<QMenu*>(w)) {
            continue;
        }
        const QString name = w->objectName();
        if (name == QLatin1String("qt_rubberband") ||
            name == QLatin1String("qt_qmainwindowextension") ||
            name == QLatin1String("qt_spinbox_lineedit")) {
            continue;
        }
        out << w;
    }
    return out;
}

class ShownOnlyAccessible : public QAccessibleWidget {
  public:
    ShownOnlyAccessible(QWidget* widget, QAccessible::Role role)
        : QAccessibleWidget(widget, role) {}

    int childCount() const override { return static_cast<int>(shown().size()); }

    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> parts = shown();
        return index >= 0 && index < parts.size()
                   ? QAccessible::queryAccessibleInterface(parts.at(index))
                   : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr || child->object() == nullptr || !child->object()->isWidgetType()) {
            return -1;
        }
        return static_cast<int>(shown().indexOf(static_cast<QWidget*>(child->object())));
    }

  private:
    QList<QWidget*> shown() const {
        if (auto* stack = qobject_cast<QStackedWidget*>(widget())) {
            QWidget* page = stack->currentWidget();
            return page != nullptr && !page->isHidden() ? QList<QWidget*>{page} : QList<QWidget*>{};
        }
        return shownChildren(widget());
    }
};

QAccessibleInterface* shownOnlyFactory(const QString& className, QObject* object) {
    if (object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("QStackedWidget")) {
        return new ShownOnlyAccessible(widget, QAccessible::LayeredPane);
    }
    // Widgets Qt knows no better description for than a plain one (pages, bars, panels).
    if (className == QLatin1String("QWidget") && !widget->isWindow()) {
        return new ShownOnlyAccessible(widget, QAccessible::Client);
    }
    return nullptr;
}

}  // namespace

void installShownOnlyAccessibility() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(shownOnlyFactory);
    }
}

}  // namespace qavix
