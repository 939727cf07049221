#pragma once
// "変更履歴": the change journal's writes to the connected controller, newest first, with the
// fields the selected one changed; filtered by user and by the day they started from, and
// saved as CSV. The journal is read when the window opens and again on "更新".

#include <QDialog>
#include <string>
#include <vector>

#include "frame/NavigationTree.h"
#include "journal/JournalReader.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableWidget;

namespace qavix {

// An operation as the program names it ("ページ書込み").
QString journalOperationText(journal::Operation operation);
// The operation with what it was done on ("ページ書込み (基本情報)"): a page by its title as
// the program shows it now (nav::pageTitles()), whatever language recorded it.
QString journalOperationText(journal::Operation operation, const std::string& detail,
                             const nav::PageTitles& titles);

class JournalWindow : public QDialog {
    Q_OBJECT
  public:
    // Column of the list of writes.
    enum Column { kTime, kOperation, kTarget, kResult, kUser, kHost, kReason, kColumnCount };

    // `controller` picks the writes shown: by its serial number when it is known, else by
    // its ID (texts as the journal records them).
    JournalWindow(std::string folder, journal::JournalFilter controller, QWidget* parent = nullptr);

    QTableWidget* writes() const { return m_writes; }
    QTableWidget* fields() const { return m_fields; }
    QComboBox* userFilter() const { return m_user; }
    QCheckBox* sinceOn() const { return m_sinceOn; }
    QDateEdit* since() const { return m_since; }
    QLabel* detail() const { return m_detail; }
    // The writes listed, newest first.
    const std::vector<journal::JournalEntry>& shown() const { return m_shown; }

    // Reads the journal again and lists what the filters let through.
    void reload();
    // The CSV of the writes listed, written to `path` (beside it, then renamed); the error,
    // or empty when it was saved.
    QString saveCsv(const QString& path) const;

  private:
    void fillUsers(const std::vector<journal::JournalEntry>& all);
    void showSelected();
    void exportCsv();

    std::string m_folder;
    journal::JournalFilter m_controller;
    std::vector<journal::JournalEntry> m_shown;
    QLabel* m_status = nullptr;
    QComboBox* m_user = nullptr;
    QCheckBox* m_sinceOn = nullptr;
    QDateEdit* m_since = nullptr;
    QTableWidget* m_writes = nullptr;
    QLabel* m_detail = nullptr;
    QTableWidget* m_fields = nullptr;
    QPushButton* m_export = nullptr;
};

}  // namespace qavix
