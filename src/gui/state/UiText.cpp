#include "state/UiText.h"

#include <QCoreApplication>
#include <QString>

#include "Translate.h"

namespace qavix {

std::string uiText(const char* context, const char* source) {
    return QCoreApplication::translate(context, source).toStdString();
}

QString coreText(const char* entry) {
    return QString::fromUtf8(i18n::translate(entry));
}

}  // namespace qavix
