#pragma once
// Sorting and filtering of the plant window's rows: by the numbers behind the texts
// (severity, age, margin), "問題のみ" (problems only) and a text to find in a row's name,
// reasons or port.

#include <QSortFilterProxyModel>

namespace qavix {

class PlantFilterProxy : public QSortFilterProxyModel {
    Q_OBJECT
  public:
    explicit PlantFilterProxy(QObject* parent = nullptr);

    void setProblemsOnly(bool on);
    bool problemsOnly() const { return m_problemsOnly; }
    void setText(const QString& text);

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

  private:
    bool m_problemsOnly = false;
    QString m_text;
};

}  // namespace qavix
