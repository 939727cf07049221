#pragma once
// The user's display colours as Qt colours, and the colour of each bar state.

#include <QColor>

#include "files/AppSettings.h"
#include "monitor/BarRules.h"

namespace qavix {

inline QColor displayColour(const AppSettings& user, ColorIndex index) {
    const ColorValue c = user.colors[index];
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

inline QColor barStateColour(const AppSettings& user, chart::BarState state) {
    switch (state) {
        case chart::BarState::Incident:
            return displayColour(user, kColorNyukou);
        case chart::BarState::Unstable:
            return displayColour(user, kColorFuantei);
        case chart::BarState::Blocked:
            return displayColour(user, kColorSyakou);
        case chart::BarState::Blanked:
            return displayColour(user, kColorBlankBar);
    }
    return QColor();
}

}  // namespace qavix
