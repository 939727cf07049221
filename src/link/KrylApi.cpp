// The C entries of libqavlink: each fills a command and hands it to the link library.

#include <string>

#include "LinkConnections.h"
#include "Translate.h"
#include "qavlink.h"

using qavix::link::currentConnection;
using qavix::sim::Command;
using qavix::sim::Op;

namespace {

// Requests addressed by identifier go to the unit of the port settings block.
int byId(Op op, int id, int start, int count, const char* text, char* reply, int timeoutMs) {
    Command command;
    command.op = op;
    command.id = id;
    command.start = start;
    command.count = count;
    if (text != nullptr) {
        command.text = text;
    }
    return currentConnection()->request(command, timeoutMs, reply, true) ? 1 : 0;
}

int toUnit(Op op, int unit, int arg1 = 0, int arg2 = 0, int arg3 = 0) {
    Command command;
    command.op = op;
    command.unit = unit;
    command.start = arg1;
    command.count = arg2;
    command.arg3 = arg3;
    return currentConnection()->request(command, KRYL_DEFAULT_TIMEOUT, nullptr, false) ? 1 : 0;
}

// Puts need a text; a null pointer is a caller's mistake, not an empty text.
int putById(Op op, int id, int start, int count, const char* text, int timeoutMs) {
    if (text == nullptr) {
        currentConnection()->rejectArgument(QX_("送信するテキストがありません"));
        return 0;
    }
    return byId(op, id, start, count, text, nullptr, timeoutMs);
}

// Gets need somewhere to put the reply.
int getById(Op op, int id, int start, int count, char* reply, int timeoutMs) {
    if (reply == nullptr) {
        currentConnection()->rejectArgument(QX_("応答のバッファがありません"));
        return 0;
    }
    return byId(op, id, start, count, nullptr, reply, timeoutMs);
}

}  // namespace

extern "C" {

int KRYL_GetLastError(char* code, char* message) {
    return currentConnection()->lastError(code, message) ? 1 : 0;
}

int KRYL_Initialize(void) {
    return currentConnection()->initialize() ? 1 : 0;
}

int KRYL_Terminate(void) {
    currentConnection()->terminate();
    return 1;
}

int KRYL_Open(const char* port, const int* settings) {
    return currentConnection()->open(port, settings) ? 1 : 0;
}

int KRYL_Close(void) {
    currentConnection()->close();
    return 1;
}

int KRYL_ReOpen(void) {
    return currentConnection()->reopen() ? 1 : 0;
}

int KRYL_GetStatus(char* reply) {
    return getById(Op::GetStatus, 0, 0, 0, reply, KRYL_DEFAULT_TIMEOUT);
}

int KRYL_SetRetryCount(int count) {
    return currentConnection()->setRetryCount(count) ? 1 : 0;
}

int KRYL_GetControlData(int id, char* reply) {
    return getById(Op::GetControl, id, 0, 0, reply, KRYL_DEFAULT_TIMEOUT);
}

int KRYL_PutControlData(int id, const char* text) {
    return putById(Op::PutControl, id, 0, 0, text, KRYL_DEFAULT_TIMEOUT);
}

int KRYL_GetControlDataWait(int id, char* reply, int timeoutMs) {
    return getById(Op::GetControl, id, 0, 0, reply, timeoutMs);
}

int KRYL_PutControlDataWait(int id, const char* text, int timeoutMs) {
    return putById(Op::PutControl, id, 0, 0, text, timeoutMs);
}

int KRYL_StartSetting(int unit) {
    return toUnit(Op::StartSetting, unit);
}
int KRYL_EnableSetting(int unit) {
    return toUnit(Op::EnableSetting, unit);
}
int KRYL_Reset(int unit) {
    return toUnit(Op::Reset, unit);
}
int KRYL_ClearBank(int unit, int bank) {
    return toUnit(Op::ClearBank, unit, bank);
}
int KRYL_ZeroReset(int unit, int code) {
    return toUnit(Op::ZeroReset, unit, code);
}

int KRYL_TeachRasio(int unit, int arg1, int arg2, int arg3) {
    return toUnit(Op::TeachRatio, unit, arg1, arg2, arg3);
}

int KRYL_GetStringData(int id, int start, int count, char* reply) {
    return getById(Op::GetString, id, start, count, reply, KRYL_DEFAULT_TIMEOUT);
}

int KRYL_PutStringData(int id, int start, int count, const char* text) {
    return putById(Op::PutString, id, start, count, text, KRYL_DEFAULT_TIMEOUT);
}

int KRYL_GetStringDataWait(int id, int start, int count, char* reply, int timeoutMs) {
    return getById(Op::GetString, id, start, count, reply, timeoutMs);
}

int KRYL_PutStringDataWait(int id, int start, int count, const char* text, int timeoutMs) {
    return putById(Op::PutString, id, start, count, text, timeoutMs);
}

int KRYL_GetParameterData(int id, int start, int count, char* reply) {
    return getById(Op::GetParameter, id, start, count, reply, KRYL_DEFAULT_TIMEOUT);
}

int KRYL_PutParameterData(int id, int start, int count, const char* text) {
    return putById(Op::PutParameter, id, start, count, text, KRYL_DEFAULT_TIMEOUT);
}

int KRYL_GetParameterDataWait(int id, int start, int count, char* reply, int timeoutMs) {
    return getById(Op::GetParameter, id, start, count, reply, timeoutMs);
}

int KRYL_PutParameterDataWait(int id, int start, int count, const char* text, int timeoutMs) {
    return putById(Op::PutParameter, id, start, count, text, timeoutMs);
}

int KRYL_GetCommData(char* sent, char* received) {
    return currentConnection()->commData(sent, received) ? 1 : 0;
}

int KRYL_FACTStart(int unit) {
    return toUnit(Op::FactStart, unit);
}
int KRYL_FACTEnd(int unit) {
    return toUnit(Op::FactEnd, unit);
}

int KRYL_NewConnection(int* number) {
    if (number == nullptr) {
        currentConnection()->rejectArgument(QX_("接続番号の格納先がありません"));
        return 0;
    }
    if (!qavix::link::newConnection(*number)) {
        currentConnection()->rejectArgument(QX_("空いている接続がありません"));
        return 0;
    }
    return 1;
}

int KRYL_UseConnection(int number) {
    if (!qavix::link::useConnection(number)) {
        currentConnection()->rejectArgument(
            qavix::i18n::fill(QX_("接続 %1 がありません"), {std::to_string(number)}));
        return 0;
    }
    return 1;
}

int KRYL_EndConnection(int number) {
    if (!qavix::link::endConnection(number)) {
        currentConnection()->rejectArgument(
            qavix::i18n::fill(QX_("終了する接続 %1 がありません"), {std::to_string(number)}));
        return 0;
    }
    return 1;
}

}  // extern "C"
