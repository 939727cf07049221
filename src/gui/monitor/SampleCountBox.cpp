#include "monitor/SampleCountBox.h"

#include "model/SampleCount.h"

namespace qavix {

SampleCountBox::SampleCountBox(QWidget* parent) : QSpinBox(parent) {
    setRange(scan::kMinSamplesShown, scan::kMaxSamplesShown);
    setValue(scan::kDefaultSamplesShown);
    // The chart is laid out again for each value; not for every key typed on the way.
    setKeyboardTracking(false);
    setAccelerated(true);
}

QValidator::State SampleCountBox::validate(QString& text, int& /*pos*/) const {
    // Any run of digits of either width: the limits apply when the field is left, so that
    // "5" on the way to "50" is not corrected under the user's fingers.
    for (const QChar c : text) {
        const bool halfWidth = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const bool fullWidth = c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19;
        if (!halfWidth && !fullWidth) {
            return QValidator::Invalid;
        }
    }
    return QValidator::Acceptable;
}

int SampleCountBox::valueFromText(const QString& text) const {
    return scan::parseSampleCount(text.toStdString()).value;
}

}  // namespace qavix
