#pragma once
// The open and save dialogs of bank files: one filter for every spelling of ".qbk" (Linux
// file names are case-sensitive, bank files come from systems whose names are not), the
// default suffix, and the folder they start in.

#include <QString>
#include <QWidget>

namespace qavix {

constexpr const char* kBankFileFilter = "QBK Files (*.[qQ][bB][kK])";
constexpr const char* kBankFileSuffix = "qbk";

// The path chosen, or empty when cancelled.
QString chooseBankFileToOpen(QWidget* parent, const QString& folder);
QString chooseBankFileToSave(QWidget* parent, const QString& folder);

}  // namespace qavix
