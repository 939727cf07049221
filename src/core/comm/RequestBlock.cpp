#include "comm/RequestBlock.h"

#include <algorithm>
#include <array>

namespace qavix {

bool isReadOfControllerWhileBankSelected(int code) {
    static constexpr std::array<int, 12> kCodes = {60, 61, 62, 69, 70, 77, 79, 81, 82, 88, 89, 149};
    return std::find(kCodes.begin(), kCodes.end(), code) != kCodes.end();
}

Route routeRequest(int code, int selectedSet) {
    if (code >= kCodeFirstBankApply && code <= kCodeLastBankApply) {
        return Route::BankImageApply;
    }
    if (selectedSet == 0) {
        return Route::Controller;
    }
    if (code >= 1 && code <= kCodeLastPut) {
        return Route::OfflineApply;
    }
    if (code == kCodeControl46 || code == kCodeControl47 || code == kCodeClock ||
        code == kCodeStartSetting || code == kCodeEnableSetting) {
        return Route::Nothing;
    }
    if (code >= kCodeFirstParameter && code <= kCodeLastParameter &&
        !isReadOfControllerWhileBankSelected(code)) {
        return Route::Nothing;
    }
    return Route::Controller;
}

bool changesSettings(int code) {
    return (code >= kCodePutControl && code <= kCodeLastBankPut) || code == kCodeClearBank ||
           code == kCodeZeroReset || code == kCodeTeachRatio;
}

}  // namespace qavix
