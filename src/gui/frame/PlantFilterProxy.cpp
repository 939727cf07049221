#include "frame/PlantFilterProxy.h"

#include "frame/PlantTableModel.h"

namespace qavix {

PlantFilterProxy::PlantFilterProxy(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(PlantTableModel::kSortRole);
    setDynamicSortFilter(true);
    setSortCaseSensitivity(Qt::CaseInsensitive);
}

void PlantFilterProxy::setProblemsOnly(bool on) {
    if (on != m_problemsOnly) {
        m_problemsOnly = on;
        invalidateFilter();
    }
}

void PlantFilterProxy::setText(const QString& text) {
    if (text != m_text) {
        m_text = text;
        invalidateFilter();
    }
}

bool PlantFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    if (m_problemsOnly && !index.data(PlantTableModel::kProblemRole).toBool()) {
        return false;
    }
    return m_text.isEmpty() || index.data(PlantTableModel::kFilterRole)
                                   .toString()
                                   .contains(m_text, Qt::CaseInsensitive);
}

}  // namespace qavix
