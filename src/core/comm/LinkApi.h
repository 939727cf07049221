#pragma once
// The link library's C entry points as the program calls them, bound at run time.
// Only these entries are ever called; the rest are resolved to check the library is whole.
// The core does not include the library's header (it reaches the library only through
// dlopen); the tests check at compile time that these types are the header's.

#include <cstdint>

namespace qavix {

extern "C" {
using KrylGetLastError = int (*)(char* code, char* message);
using KrylNoArgs = int (*)();
using KrylOpen = int (*)(const char* port, const int* settingsBlock);
using KrylGetControlDataWait = int (*)(int id, char* reply, int timeoutMs);
using KrylPutControlDataWait = int (*)(int id, const char* text, int timeoutMs);
using KrylUnitOnly = int (*)(int unit);
using KrylClearBank = int (*)(int unit, int bank);
using KrylZeroReset = int (*)(int unit, int arg1);
using KrylTeachRatio = int (*)(int unit, int arg5, int arg1, int arg6);
using KrylGetStringDataWait = int (*)(int id, int arg1, int arg3, char* reply, int timeoutMs);
using KrylGetParameterDataWait = int (*)(int id, int start, int count, char* reply, int timeoutMs);
using KrylPutParameterDataWait = int (*)(int id, int start, int count, const char* text,
                                         int timeoutMs);
using KrylGetCommData = int (*)(char* sent, char* received);
using KrylNewConnection = int (*)(int* number);
using KrylConnection = int (*)(int number);
}

// Buffers handed to the library: the reply of an ordinary read, of the status and error
// block reads, and each of the two frame texts.
constexpr int kReplyBufferSize = 2048;
constexpr int kStatusBufferSize = 1024;
constexpr int kFrameBufferSize = 2048;
// The two texts of KRYL_GetLastError.
constexpr int kErrorCodeTextSize = 8;
constexpr int kErrorMessageTextSize = 128;

struct LinkApi {
    KrylGetLastError getLastError = nullptr;
    KrylNoArgs initialize = nullptr;
    KrylNoArgs terminate = nullptr;
    KrylOpen open = nullptr;
    KrylNoArgs close = nullptr;
    KrylGetControlDataWait getControlDataWait = nullptr;
    KrylPutControlDataWait putControlDataWait = nullptr;
    KrylUnitOnly startSetting = nullptr;
    KrylUnitOnly enableSetting = nullptr;
    KrylUnitOnly reset = nullptr;
    KrylClearBank clearBank = nullptr;
    KrylZeroReset zeroReset = nullptr;
    KrylTeachRatio teachRatio = nullptr;
    KrylGetStringDataWait getStringDataWait = nullptr;
    KrylGetParameterDataWait getParameterDataWait = nullptr;
    KrylPutParameterDataWait putParameterDataWait = nullptr;
    KrylGetCommData getCommData = nullptr;
    KrylUnitOnly factStart = nullptr;
    KrylUnitOnly factEnd = nullptr;
    // Optional: several connections in one process. A library without them serves one
    // connection at a time (every thread shares it).
    KrylNewConnection newConnection = nullptr;
    KrylConnection useConnection = nullptr;
    KrylConnection endConnection = nullptr;

    bool hasConnections() const {
        return newConnection != nullptr && useConnection != nullptr && endConnection != nullptr;
    }
};

}  // namespace qavix
