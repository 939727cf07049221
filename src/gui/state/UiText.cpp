#include "state/UiText.h"

#include <QCoreApplication>
#include <QString>

namespace qavix {

std::string uiText(const char* context, const char* source) {
    return QCoreApplication::translate(context, source).toStdString();
}

}  // namespace qavix
