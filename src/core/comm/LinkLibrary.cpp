#include "comm/LinkLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <cstring>

#include "Translate.h"

namespace qavix {

namespace {

// Every entry a complete library exports, in the order they are checked. Entries the
// program never calls are still required: a partial library is refused as a whole.
constexpr const char* kEntryNames[] = {
    "KRYL_Initialize",
    "KRYL_Terminate",
    "KRYL_Open",
    "KRYL_Close",
    "KRYL_ReOpen",
    "KRYL_GetStatus",
    "KRYL_SetRetryCount",
    "KRYL_GetControlData",
    "KRYL_PutControlData",
    "KRYL_GetControlDataWait",
    "KRYL_PutControlDataWait",
    "KRYL_StartSetting",
    "KRYL_EnableSetting",
    "KRYL_Reset",
    "KRYL_ClearBank",
    "KRYL_ZeroReset",
    "KRYL_TeachRasio",
    "KRYL_GetStringData",
    "KRYL_PutStringData",
    "KRYL_GetStringDataWait",
    "KRYL_PutStringDataWait",
    "KRYL_GetParameterData",
    "KRYL_PutParameterData",
    "KRYL_GetParameterDataWait",
    "KRYL_PutParameterDataWait",
    "KRYL_GetCommData",
    "KRYL_FACTStart",
    "KRYL_FACTEnd",
};

template <typename Fn>
void bind(void* handle, const char* name, Fn& target) {
    target = reinterpret_cast<Fn>(dlsym(handle, name));
}

}  // namespace

LinkLibrary::~LinkLibrary() {
    unload();
}

std::string LinkLibrary::defaultPath() {
    if (const char* env = std::getenv(kLinkLibraryEnv); env != nullptr && *env != '\0') {
        return env;
    }
    std::array<char, 4096> exe{};
    const ssize_t n = readlink("/proc/self/exe", exe.data(), exe.size() - 1);
    if (n <= 0) {
        return kLinkLibraryName;
    }
    std::string dir(exe.data(), static_cast<size_t>(n));
    dir.erase(dir.find_last_of('/') + 1);
    // Beside the program in the build tree; in an installation the library is private to
    // the program and lives in its own folder under lib/.
    const std::string beside = dir + kLinkLibraryName;
    const std::string installed = dir + kInstalledLinkLibraryDir + "/" + kLinkLibraryName;
    if (access(beside.c_str(), F_OK) != 0 && access(installed.c_str(), F_OK) == 0) {
        return installed;
    }
    return beside;
}

bool LinkLibrary::fail(const std::string& why) {
    unload();
    m_error = why;
    return false;
}

bool LinkLibrary::load(const std::string& path) {
    unload();
    m_error.clear();
    const std::string file = path.empty() ? defaultPath() : path;
    m_handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle == nullptr) {
        const char* why = dlerror();
        return fail(why != nullptr ? why : i18n::fill(QX_("dlopen に失敗しました: %1"), {file}));
    }

    KrylGetLastError getLastError = nullptr;
    bind(m_handle, "KRYL_GetLastError", getLastError);
    if (getLastError == nullptr) {
        return fail(QX_("KRYL_GetLastError がありません"));
    }
    std::array<char, kErrorCodeTextSize> code{};
    std::array<char, kErrorMessageTextSize> message{};
    if (getLastError(code.data(), message.data()) != 1 || code[0] != '\0' || message[0] != '\0') {
        return fail(i18n::fill(QX_("リンクライブラリがエラーを報告しています: %1 %2"),
                               {code.data(), message.data()}));
    }
    for (const char* name : kEntryNames) {
        if (dlsym(m_handle, name) == nullptr) {
            return fail(i18n::fill(QX_("エントリ %1 がありません"), {name}));
        }
    }

    m_api.getLastError = getLastError;
    bind(m_handle, "KRYL_Initialize", m_api.initialize);
    bind(m_handle, "KRYL_Terminate", m_api.terminate);
    bind(m_handle, "KRYL_Open", m_api.open);
    bind(m_handle, "KRYL_Close", m_api.close);
    bind(m_handle, "KRYL_GetControlDataWait", m_api.getControlDataWait);
    bind(m_handle, "KRYL_PutControlDataWait", m_api.putControlDataWait);
    bind(m_handle, "KRYL_StartSetting", m_api.startSetting);
    bind(m_handle, "KRYL_EnableSetting", m_api.enableSetting);
    bind(m_handle, "KRYL_Reset", m_api.reset);
    bind(m_handle, "KRYL_ClearBank", m_api.clearBank);
    bind(m_handle, "KRYL_ZeroReset", m_api.zeroReset);
    bind(m_handle, "KRYL_TeachRasio", m_api.teachRatio);
    bind(m_handle, "KRYL_GetStringDataWait", m_api.getStringDataWait);
    bind(m_handle, "KRYL_GetParameterDataWait", m_api.getParameterDataWait);
    bind(m_handle, "KRYL_PutParameterDataWait", m_api.putParameterDataWait);
    bind(m_handle, "KRYL_GetCommData", m_api.getCommData);
    bind(m_handle, "KRYL_FACTStart", m_api.factStart);
    bind(m_handle, "KRYL_FACTEnd", m_api.factEnd);
    // Not part of every library: without them the library has one connection.
    bind(m_handle, "KRYL_NewConnection", m_api.newConnection);
    bind(m_handle, "KRYL_UseConnection", m_api.useConnection);
    bind(m_handle, "KRYL_EndConnection", m_api.endConnection);

    if (m_api.initialize() != 1) {
        return fail(QX_("KRYL_Initialize に失敗しました"));
    }
    return true;
}

void LinkLibrary::unload() {
    if (m_handle != nullptr) {
        dlclose(m_handle);
        m_handle = nullptr;
    }
    m_api = LinkApi{};
}

}  // namespace qavix
