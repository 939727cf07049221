#pragma once
// libqavlink loaded as the program loads it: dlopen and the typedefs of qavlink.h.

#include <string>

#include "qavlink.h"

namespace qavix::link::test {

struct LinkApi {
    KRYL_GetLastError_t getLastError = nullptr;
    KRYL_Initialize_t initialize = nullptr;
    KRYL_Terminate_t terminate = nullptr;
    KRYL_Open_t open = nullptr;
    KRYL_Close_t close = nullptr;
    KRYL_ReOpen_t reOpen = nullptr;
    KRYL_GetStatus_t getStatus = nullptr;
    KRYL_SetRetryCount_t setRetryCount = nullptr;
    KRYL_GetControlData_t getControlData = nullptr;
    KRYL_PutControlData_t putControlData = nullptr;
    KRYL_GetControlDataWait_t getControlDataWait = nullptr;
    KRYL_PutControlDataWait_t putControlDataWait = nullptr;
    KRYL_StartSetting_t startSetting = nullptr;
    KRYL_EnableSetting_t enableSetting = nullptr;
    KRYL_Reset_t reset = nullptr;
    KRYL_ClearBank_t clearBank = nullptr;
    KRYL_ZeroReset_t zeroReset = nullptr;
    KRYL_TeachRasio_t teachRasio = nullptr;
    KRYL_GetStringData_t getStringData = nullptr;
    KRYL_PutStringData_t putStringData = nullptr;
    KRYL_GetStringDataWait_t getStringDataWait = nullptr;
    KRYL_PutStringDataWait_t putStringDataWait = nullptr;
    KRYL_GetParameterData_t getParameterData = nullptr;
    KRYL_PutParameterData_t putParameterData = nullptr;
    KRYL_GetParameterDataWait_t getParameterDataWait = nullptr;
    KRYL_PutParameterDataWait_t putParameterDataWait = nullptr;
    KRYL_GetCommData_t getCommData = nullptr;
    KRYL_FACTStart_t factStart = nullptr;
    KRYL_FACTEnd_t factEnd = nullptr;
    KRYL_NewConnection_t newConnection = nullptr;
    KRYL_UseConnection_t useConnection = nullptr;
    KRYL_EndConnection_t endConnection = nullptr;

    // The library of this build, loaded once; null members when an entry is missing.
    static const LinkApi& instance();
    // Entries that dlsym did not find; empty when all 32 are there.
    std::string missing;

    // The code and message of KRYL_GetLastError.
    std::string errorCode() const;
};

}  // namespace qavix::link::test
