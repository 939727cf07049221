#ifndef QAVLINK_H
#define QAVLINK_H
/*
 * libqavlink: the link library between the program and the area scanner controller.
 * C linkage, 32-bit int arguments. Every entry returns 1 on success and 0 on failure;
 * KRYL_GetLastError then says why. The wire protocol is described in docs/protocol.md.
 *
 * Ports: KRYL_Open("COMn", block) resolves COMn through the environment variable
 * QAVLINK_COMn, else key COMn of section [Ports] in ./Qavix.ini, else the n-th serial
 * device of the machine. The value "sim" or "sim:<emulator options>" opens the built-in
 * emulator. A path starting with '/' opens that device directly, and so does "sim" or
 * "sim:<options>" the emulator.
 *
 * Buffers: reply texts are at most KRYL_MAX_REPLY characters plus NUL, so every reply
 * buffer of 1024 bytes or more is safe; a longer reply fails the call and writes an empty
 * text. KRYL_GetCommData writes at most KRYL_FRAME_BUFFER_SIZE bytes to each buffer.
 *
 * Time-outs: every call that talks to the controller returns within its time-out plus a
 * few milliseconds. Entries without a time-out argument use KRYL_DEFAULT_TIMEOUT; a
 * time-out of 0 or less also means the default.
 */

#ifdef __cplusplus
extern "C" {
#endif

#define KRYL_API __attribute__((visibility("default")))

enum {
    KRYL_PORT_BLOCK_SIZE = 6,      /* baud, byte size, parity, stop bits, 0, unit */
    KRYL_ERROR_CODE_SIZE = 8,      /* code buffer of KRYL_GetLastError */
    KRYL_ERROR_TEXT_SIZE = 128,    /* message buffer of KRYL_GetLastError */
    KRYL_MAX_REPLY = 1023,         /* longest reply text, without its NUL */
    KRYL_FRAME_BUFFER_SIZE = 2048, /* each buffer of KRYL_GetCommData */
    KRYL_DEFAULT_TIMEOUT = 1500,   /* milliseconds */
    KRYL_MAX_RETRIES = 10
};

/* Healthy: returns 1 and leaves both texts as they are (callers pass them zeroed).
 * After a failed call: writes a code of fewer than 8 characters and a message of fewer
 * than 128 and returns 1. Every successful call and KRYL_Initialize clear the error.
 * Returns 0 only when a buffer is missing. */
KRYL_API int KRYL_GetLastError(char* code, char* message);

KRYL_API int KRYL_Initialize(void);
/* Closes the port; the library must be initialised again before the next open. */
KRYL_API int KRYL_Terminate(void);

/* settings: KRYL_PORT_BLOCK_SIZE ints {baud, byte size 7 or 8, parity 0 none / 1 odd /
 * 2 even, stop bits 0 one / 2 two, 0, unit 0..99}. An open port is closed first. The
 * device is held exclusively: a second open of it, here or elsewhere, fails. */
KRYL_API int KRYL_Open(const char* port, const int* settings);
KRYL_API int KRYL_Close(void);
/* Closes and opens again the port of the last successful KRYL_Open with its settings. */
KRYL_API int KRYL_ReOpen(void);

/* The controller's status text (as identifier 48) of the unit given at open. */
KRYL_API int KRYL_GetStatus(char* reply);
/* Further attempts of an exchange whose reply timed out or failed its check, each with
 * the full time-out; 0 (the default) to KRYL_MAX_RETRIES. The program retries itself. */
KRYL_API int KRYL_SetRetryCount(int count);

/* Requests by identifier go to the unit given at open. The entries without "Wait" are
 * the same requests with the default time-out. */
KRYL_API int KRYL_GetControlData(int id, char* reply);
KRYL_API int KRYL_PutControlData(int id, const char* text);
KRYL_API int KRYL_GetControlDataWait(int id, char* reply, int timeoutMs);
KRYL_API int KRYL_PutControlDataWait(int id, const char* text, int timeoutMs);

KRYL_API int KRYL_StartSetting(int unit);
KRYL_API int KRYL_EnableSetting(int unit);
KRYL_API int KRYL_Reset(int unit);
KRYL_API int KRYL_ClearBank(int unit, int bank);
KRYL_API int KRYL_ZeroReset(int unit, int code);
KRYL_API int KRYL_TeachRasio(int unit, int arg1, int arg2, int arg3);

KRYL_API int KRYL_GetStringData(int id, int start, int count, char* reply);
KRYL_API int KRYL_PutStringData(int id, int start, int count, const char* text);
KRYL_API int KRYL_GetStringDataWait(int id, int start, int count, char* reply, int timeoutMs);
KRYL_API int KRYL_PutStringDataWait(int id, int start, int count, const char* text, int timeoutMs);

KRYL_API int KRYL_GetParameterData(int id, int start, int count, char* reply);
KRYL_API int KRYL_PutParameterData(int id, int start, int count, const char* text);
KRYL_API int KRYL_GetParameterDataWait(int id, int start, int count, char* reply, int timeoutMs);
KRYL_API int KRYL_PutParameterDataWait(int id, int start, int count, const char* text,
                                       int timeoutMs);

/* The raw bytes of the last request frame sent and of the last frame received (empty
 * when none came), each NUL-terminated. */
KRYL_API int KRYL_GetCommData(char* sent, char* received);

KRYL_API int KRYL_FACTStart(int unit);
KRYL_API int KRYL_FACTEnd(int unit);

/* Several connections in one process, for a program that talks to controllers on several
 * lines at once. Every thread starts on connection 0, which all threads share; everything
 * above (port, unit, last error, retry count, initialisation) belongs to one connection.
 * KRYL_NewConnection writes the number (> 0) of a new connection, initialised and with no
 * port open; numbers are not reused. KRYL_UseConnection makes the calling thread's later
 * calls go to that connection (0: the shared one). KRYL_EndConnection closes its port and
 * forgets it; a thread still using it then fails every call with NOINIT, KRYL_Initialize
 * included, until it chooses another. At most 256 connections, connection 0 among them.
 * Failures of these three are ARG failures of the calling thread's connection. */
KRYL_API int KRYL_NewConnection(int* number);
KRYL_API int KRYL_UseConnection(int number);
KRYL_API int KRYL_EndConnection(int number);

/* Pointer types for dlsym. */
typedef int (*KRYL_GetLastError_t)(char*, char*);
typedef int (*KRYL_Initialize_t)(void);
typedef int (*KRYL_Terminate_t)(void);
typedef int (*KRYL_Open_t)(const char*, const int*);
typedef int (*KRYL_Close_t)(void);
typedef int (*KRYL_ReOpen_t)(void);
typedef int (*KRYL_GetStatus_t)(char*);
typedef int (*KRYL_SetRetryCount_t)(int);
typedef int (*KRYL_GetControlData_t)(int, char*);
typedef int (*KRYL_PutControlData_t)(int, const char*);
typedef int (*KRYL_GetControlDataWait_t)(int, char*, int);
typedef int (*KRYL_PutControlDataWait_t)(int, const char*, int);
typedef int (*KRYL_UnitCommand_t)(int); /* StartSetting, EnableSetting, Reset, FACTStart, FACTEnd */
typedef int (*KRYL_StartSetting_t)(int);
typedef int (*KRYL_EnableSetting_t)(int);
typedef int (*KRYL_Reset_t)(int);
typedef int (*KRYL_ClearBank_t)(int, int);
typedef int (*KRYL_ZeroReset_t)(int, int);
typedef int (*KRYL_TeachRasio_t)(int, int, int, int);
typedef int (*KRYL_GetStringData_t)(int, int, int, char*);
typedef int (*KRYL_PutStringData_t)(int, int, int, const char*);
typedef int (*KRYL_GetStringDataWait_t)(int, int, int, char*, int);
typedef int (*KRYL_PutStringDataWait_t)(int, int, int, const char*, int);
typedef int (*KRYL_GetParameterData_t)(int, int, int, char*);
typedef int (*KRYL_PutParameterData_t)(int, int, int, const char*);
typedef int (*KRYL_GetParameterDataWait_t)(int, int, int, char*, int);
typedef int (*KRYL_PutParameterDataWait_t)(int, int, int, const char*, int);
typedef int (*KRYL_GetCommData_t)(char*, char*);
typedef int (*KRYL_FACTStart_t)(int);
typedef int (*KRYL_FACTEnd_t)(int);
typedef int (*KRYL_NewConnection_t)(int*);
typedef int (*KRYL_UseConnection_t)(int);
typedef int (*KRYL_EndConnection_t)(int);

#ifdef __cplusplus
}
#endif

#endif /* QAVLINK_H */
