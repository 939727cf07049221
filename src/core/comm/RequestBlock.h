#pragma once
// One request handed from the user-interface thread to the worker, and its answer.

#include <array>
#include <string>
#include <vector>

namespace qavix {

// Results as the worker produces them.
enum WorkerResult : int {
    kWorkerOk = 0,
    kWorkerLost = 1,    // connection lost or the user chose to end; the program ends
    kWorkerFailed = 2,  // the operation failed and its message has been shown
    kWorkerBadMode = -1,
};

// Results as callers of a request see them.
enum RequestResult : int {
    kRequestOk = 1,
    kRequestFailed = 2,
};

struct RequestBlock {
    int code = 0;
    // arg[0] channel or sub-code, arg[1] start, arg[2] count, arg[3] time-out in ms,
    // arg[4] and arg[5] operation-specific.
    std::array<int, 6> arg{};
    std::string text;

    // Answer: the reply of a read (bank summaries give one reply per piece).
    std::string reply;
    std::vector<std::string> replies;
    int result = kWorkerOk;

    int channel() const { return arg[0]; }
    int start() const { return arg[1]; }
    int count() const { return arg[2]; }
    int timeoutMs() const { return arg[3]; }
};

// Request codes that are not parameter identifiers.
enum RequestCode : int {
    kCodePutControl = 0,
    kCodeLastPut = 41,
    kCodeFirstBankPut = 42,
    kCodeLastBankPut = 45,
    kCodeControl46 = 46,
    kCodeControl47 = 47,
    kCodeStatus = 48,
    kCodeClock = 49,
    kCodeStartSetting = 51,
    kCodeEnableSetting = 52,
    kCodeClearBank = 54,
    kCodeZeroReset = 55,
    kCodeTeachRatio = 56,
    kCodeFirstString = 57,
    kCodeLastString = 59,
    kCodeFirstParameter = 60,
    kCodeLastParameter = 149,
    kCodeFirstBankRead = 150,
    kCodeLastBankRead = 153,
    kCodeFactoryStart = 154,
    kCodeFactoryEnd = 155,
    kCodeOpen = 200,
    kCodeClose = 201,
    kCodeSuspendPolling = 202,
    kCodeResumePolling = 203,
    kCodeEndWorker = 204,
    kCodeStartBankSetting = 205,
    kCodeEnableBankSetting = 206,
    // Resets the controller out of a setting mode this connection started and did not end
    // (a write given up half-way): what was put is discarded. Nothing when none is open.
    kCodeLeaveSetting = 207,
    kCodeFirstBankApply = 209,
    kCodeLastBankApply = 214,
    kCodeFirstBankSummary = 300,
    kCodeLastBankSummary = 303,
};

// Reads the program makes while a bank is selected still go to the controller for these
// codes: they are not part of a bank. Among them the received-light levels (88, 89), which
// only the controller has: a bank's threshold pages show them against the bank's thresholds.
bool isReadOfControllerWhileBankSelected(int code);

// Where a request goes, given whose settings the working set holds.
enum class Route {
    Controller,      // to the worker
    OfflineApply,    // a put decoded into the working set; the bank is marked edited
    Nothing,         // succeeds at once: the data is already in the working set
    BankImageApply,  // a bank image text decoded into a stored set, no controller access
};
Route routeRequest(int code, int selectedSet);

// Requests that change what the controller holds when they reach it: the puts, bank
// sub-blocks, bank erasure, zero reset and teaching. Entering and leaving setting or
// factory mode, and every read, change no setting.
bool changesSettings(int code);

}  // namespace qavix
