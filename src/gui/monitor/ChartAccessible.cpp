#include "monitor/ChartAccessible.h"

#include <QCoreApplication>

#include <QAccessibleWidget>
#include <algorithm>

#include "monitor/CChartWnd.h"

namespace qavix {

namespace {

// Screen readers see the chart as a chart, with the bars it shows as its description.
class ChartAccessible : public QAccessibleWidget {
  public:
    explicit ChartAccessible(CChartWnd* chart) : QAccessibleWidget(chart, QAccessible::Chart) {}

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Description) {
            return QAccessibleWidget::text(t);
        }
        const auto* chart = static_cast<const CChartWnd*>(widget());
        if (chart->itemCount() == 0) {
            return QString();
        }
        const int last = std::min(chart->firstVisible() + chart->visibleBars(), chart->itemCount());
        return QCoreApplication::translate("qavix::ChartAccessible", "%1 〜 %2 / %3%4")
            .arg(chart->beamLabel(chart->firstVisible()), chart->beamLabel(last - 1))
            .arg(chart->itemCount())
            .arg(chart->percentAxis() ? " (%)" : "");
    }
};

QAccessibleInterface* chartAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("qavix::CChartWnd") && object->isWidgetType()) {
        return new ChartAccessible(static_cast<CChartWnd*>(object));
    }
    return nullptr;
}

}  // namespace

void installChartAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(chartAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace qavix
