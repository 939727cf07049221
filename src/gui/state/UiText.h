#pragma once
// The program's texts for the parts written without Qt types (the tree's shape, the
// navigation board, the status panes, the command table): they hold std::string, so they
// translate through this instead of tr(). lupdate reads uiText(context, text) as
// QCoreApplication::translate (the build passes it -tr-function-alias translate+=uiText), so
// a text here is in the translation file like any tr() text.

#include <QString>
#include <string>

namespace qavix {

// `source` (Japanese, UTF-8) in the program's language; Japanese while no translation is
// loaded (the tests that build shapes without an application). Values go in afterwards
// with i18n::fill and %1..%9, as in the core.
std::string uiText(const char* context, const char* source);

// An entry of one of the core's tables (marked N_ there: option switch names, list choices,
// error texts), shown in the language of the core's catalogue; never a copy in the
// program's translation file.
QString coreText(const char* entry);

}  // namespace qavix
