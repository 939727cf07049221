#pragma once
// Loads libqavlink.so with dlopen, checks that it is a healthy link library and binds the
// entries the program calls. Unloads the library when destroyed.

#include <string>

#include "Translate.h"
#include "comm/LinkApi.h"

namespace qavix {

constexpr const char* kLinkLibraryName = "libqavlink.so";
constexpr const char* kLinkLibraryEnv = "QAVLINK_LIBRARY";
// Where `cmake --install` puts the library, relative to the installed executables.
constexpr const char* kInstalledLinkLibraryDir = "../lib/qavix";
constexpr const char* kLinkLoadFailedMessage = N_("DLLのロードに失敗しました。Qavixを終了します");

class LinkLibrary {
  public:
    LinkLibrary() = default;
    ~LinkLibrary();
    LinkLibrary(const LinkLibrary&) = delete;
    LinkLibrary& operator=(const LinkLibrary&) = delete;

    // `path` empty: QAVLINK_LIBRARY, else libqavlink.so beside the running executable.
    // On failure the library is unloaded and error() tells what went wrong (for logs; the
    // user sees kLinkLoadFailedMessage).
    bool load(const std::string& path = std::string());
    void unload();

    bool loaded() const { return m_handle != nullptr; }
    const LinkApi& api() const { return m_api; }
    const std::string& error() const { return m_error; }

    static std::string defaultPath();

    // Unloads a loaded library that turned out unfit for its use, saying why.
    void failLoad(const std::string& why) { fail(why); }

  private:
    bool fail(const std::string& why);

    void* m_handle = nullptr;
    LinkApi m_api;
    std::string m_error;
};

}  // namespace qavix
