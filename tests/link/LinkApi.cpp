#include "LinkApi.h"

#include <dlfcn.h>

namespace qavix::link::test {

namespace {

template <typename Fn>
void resolve(void* handle, const char* name, Fn& entry, std::string& missing) {
    entry = reinterpret_cast<Fn>(dlsym(handle, name));
    if (entry == nullptr) {
        missing += std::string(name) + ' ';
    }
}

LinkApi load() {
    LinkApi api;
    void* handle = dlopen(QAVLINK_PATH, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        api.missing = dlerror();
        return api;
    }
#define QAVIX_RESOLVE(member, name) resolve(handle, #name, api.member, api.missing)
    QAVIX_RESOLVE(getLastError, KRYL_GetLastError);
    QAVIX_RESOLVE(initialize, KRYL_Initialize);
    QAVIX_RESOLVE(terminate, KRYL_Terminate);
    QAVIX_RESOLVE(open, KRYL_Open);
    QAVIX_RESOLVE(close, KRYL_Close);
    QAVIX_RESOLVE(reOpen, KRYL_ReOpen);
    QAVIX_RESOLVE(getStatus, KRYL_GetStatus);
    QAVIX_RESOLVE(setRetryCount, KRYL_SetRetryCount);
    QAVIX_RESOLVE(getControlData, KRYL_GetControlData);
    QAVIX_RESOLVE(putControlData, KRYL_PutControlData);
    QAVIX_RESOLVE(getControlDataWait, KRYL_GetControlDataWait);
    QAVIX_RESOLVE(putControlDataWait, KRYL_PutControlDataWait);
    QAVIX_RESOLVE(startSetting, KRYL_StartSetting);
    QAVIX_RESOLVE(enableSetting, KRYL_EnableSetting);
    QAVIX_RESOLVE(reset, KRYL_Reset);
    QAVIX_RESOLVE(clearBank, KRYL_ClearBank);
    QAVIX_RESOLVE(zeroReset, KRYL_ZeroReset);
    QAVIX_RESOLVE(teachRasio, KRYL_TeachRasio);
    QAVIX_RESOLVE(getStringData, KRYL_GetStringData);
    QAVIX_RESOLVE(putStringData, KRYL_PutStringData);
    QAVIX_RESOLVE(getStringDataWait, KRYL_GetStringDataWait);
    QAVIX_RESOLVE(putStringDataWait, KRYL_PutStringDataWait);
    QAVIX_RESOLVE(getParameterData, KRYL_GetParameterData);
    QAVIX_RESOLVE(putParameterData, KRYL_PutParameterData);
    QAVIX_RESOLVE(getParameterDataWait, KRYL_GetParameterDataWait);
    QAVIX_RESOLVE(putParameterDataWait, KRYL_PutParameterDataWait);
    QAVIX_RESOLVE(getCommData, KRYL_GetCommData);
    QAVIX_RESOLVE(factStart, KRYL_FACTStart);
    QAVIX_RESOLVE(factEnd, KRYL_FACTEnd);
    QAVIX_RESOLVE(newConnection, KRYL_NewConnection);
    QAVIX_RESOLVE(useConnection, KRYL_UseConnection);
    QAVIX_RESOLVE(endConnection, KRYL_EndConnection);
#undef QAVIX_RESOLVE
    return api;
}

}  // namespace

const LinkApi& LinkApi::instance() {
    static const LinkApi api = load();
    return api;
}

std::string LinkApi::errorCode() const {
    char code[KRYL_ERROR_CODE_SIZE] = {};
    char message[KRYL_ERROR_TEXT_SIZE] = {};
    getLastError(code, message);
    return code;
}

}  // namespace qavix::link::test
