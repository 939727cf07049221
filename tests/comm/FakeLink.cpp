#include "FakeLink.h"

#include <cstdio>

#include <algorithm>

namespace qavix::test {

FakeLink* FakeLink::active = nullptr;

namespace {
FakeLink& fake() {
    return *FakeLink::active;
}
}  // namespace
}  // namespace qavix::test

using qavix::test::fake;

extern "C" {
int KRYL_Initialize() {
    return fake().record("Initialize");
}
int KRYL_Terminate() {
    return fake().record("Terminate");
}
int KRYL_Close() {
    return fake().record("Close");
}
int KRYL_GetLastError(char* code, char* message) {
    std::lock_guard<std::mutex> lock(fake().mutex);
    std::snprintf(code, 8, "%s", fake().errorCode.c_str());
    std::snprintf(message, 128, "%s", fake().errorMessage.c_str());
    return 1;
}
int KRYL_Open(const char* port, const int* block) {
    fake().record("Open", block[5], 0, 0, port);
    return fake().openSucceeds ? 1 : 0;
}
int KRYL_GetControlDataWait(int id, char* reply, int) {
    return fake().controlGet(id, reply);
}
int KRYL_PutControlDataWait(int id, const char* text, int) {
    return fake().record("PutControl", id, 0, 0, text);
}
int KRYL_StartSetting(int unit) {
    return fake().record("StartSetting", unit);
}
int KRYL_EnableSetting(int unit) {
    return fake().record("EnableSetting", unit);
}
int KRYL_Reset(int unit) {
    return fake().record("Reset", unit);
}
int KRYL_ClearBank(int unit, int bank) {
    return fake().record("ClearBank", unit, bank);
}
int KRYL_ZeroReset(int unit, int arg) {
    return fake().record("ZeroReset", unit, arg);
}
int KRYL_TeachRasio(int unit, int a5, int a1, int a6) {
    return fake().record("TeachRatio", unit, a5, a1, std::to_string(a6));
}
int KRYL_GetStringDataWait(int id, int a1, int a3, char* reply, int) {
    fake().record("GetString", id, a1, a3);
    std::strcpy(reply, "TEXT");
    return 1;
}
int KRYL_GetParameterDataWait(int id, int start, int count, char* reply, int) {
    return fake().parameterGet(id, start, count, reply);
}
int KRYL_PutParameterDataWait(int id, int start, int count, const char* text, int) {
    return fake().record("PutParameter", id, start, count, text);
}
int KRYL_GetCommData(char* sent, char* received) {
    std::strcpy(sent, "\x02S\x03s");
    std::strcpy(received, "\x02R\x03r");
    return 1;
}
int KRYL_FACTStart(int unit) {
    return fake().record("FactStart", unit);
}
int KRYL_FACTEnd(int unit) {
    return fake().record("FactEnd", unit);
}
// Entries the program resolves but never calls.
int KRYL_ReOpen() {
    return 1;
}
int KRYL_GetStatus() {
    return 1;
}
int KRYL_SetRetryCount(int) {
    return 1;
}
int KRYL_GetControlData(int, char*) {
    return 0;
}
int KRYL_PutControlData(int, const char*) {
    return 0;
}
int KRYL_GetStringData(int, int, int, char*) {
    return 0;
}
int KRYL_PutStringData(int, int, int, const char*) {
    return 0;
}
int KRYL_PutStringDataWait(int, int, int, const char*, int) {
    return 0;
}
int KRYL_GetParameterData(int, int, int, char*) {
    return 0;
}
int KRYL_PutParameterData(int, int, int, const char*) {
    return 0;
}
}

namespace qavix::test {

FakeLink::FakeLink() {
    active = this;
}
FakeLink::~FakeLink() {
    active = nullptr;
}

LinkApi FakeLink::api() const {
    LinkApi a;
    a.getLastError = KRYL_GetLastError;
    a.initialize = KRYL_Initialize;
    a.terminate = KRYL_Terminate;
    a.open = KRYL_Open;
    a.close = KRYL_Close;
    a.getControlDataWait = KRYL_GetControlDataWait;
    a.putControlDataWait = KRYL_PutControlDataWait;
    a.startSetting = KRYL_StartSetting;
    a.enableSetting = KRYL_EnableSetting;
    a.reset = KRYL_Reset;
    a.clearBank = KRYL_ClearBank;
    a.zeroReset = KRYL_ZeroReset;
    a.teachRatio = KRYL_TeachRasio;
    a.getStringDataWait = KRYL_GetStringDataWait;
    a.getParameterDataWait = KRYL_GetParameterDataWait;
    a.putParameterDataWait = KRYL_PutParameterDataWait;
    a.getCommData = KRYL_GetCommData;
    a.factStart = KRYL_FACTStart;
    a.factEnd = KRYL_FACTEnd;
    return a;
}

int FakeLink::record(const std::string& entry, int id, int start, int count,
                     const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex);
    calls.push_back({entry, id, start, count, text});
    auto it = failures.find(entry);
    if (it != failures.end() && it->second > 0) {
        --it->second;
        return 0;
    }
    return 1;
}

int FakeLink::controlGet(int id, char* reply) {
    if (record("GetControl", id) == 0) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(mutex);
    if (id == 48) {
        const std::string s = statusReplies.front();
        if (statusReplies.size() > 1) {
            statusReplies.pop_front();
        }
        if (s.empty()) {
            return 0;
        }
        std::strcpy(reply, s.c_str());
        return 1;
    }
    if (id == 46) {
        // Type (20), two blanks, version (8), two blanks and a text (8): what a whole read of
        // the settings takes apart.
        std::strcpy(reply, "QX-AS300 CONTROLLER   01.20     TEXT3   ");
        return 1;
    }
    std::strcpy(reply, "CONTROL");
    return 1;
}

int FakeLink::parameterGet(int id, int start, int count, char* reply) {
    if (record("GetParameter", id, start, count) == 0) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(mutex);
    if (id == 107 && count == 0) {
        std::strcpy(reply, errorBlock.c_str());
        return 1;
    }
    auto it = parameterReplies.find(id);
    // Without a scripted reply every element reads as zero; a whole-area read is one byte.
    const std::string text = it != parameterReplies.end()
                                 ? it->second
                                 : std::string(static_cast<size_t>(2 * std::max(count, 1)), '0');
    std::strncpy(reply, text.c_str(), 2047);
    return 1;
}

std::vector<FakeCall> FakeLink::callsOf(const std::string& entry) const {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<FakeCall> out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                 [&](const FakeCall& c) { return c.entry == entry; });
    return out;
}

int FakeLink::countOf(const std::string& entry) const {
    return static_cast<int>(callsOf(entry).size());
}

void ScriptedHost::showMessage(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_messages.push_back(text);
}

bool ScriptedHost::ask(Question question, const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_questions.push_back(question);
    m_questionTexts.push_back(text);
    if (answers.empty()) {
        return false;
    }
    const bool a = answers.front();
    answers.pop_front();
    return a;
}

void ScriptedHost::runCommSettings() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_settingsRuns;
    }
    if (onCommSettings) {
        onCommSettings();
    }
}

void ScriptedHost::endProgram() {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_ends;
}

std::vector<std::string> ScriptedHost::messagesShown() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_messages;
}

std::vector<std::string> ScriptedHost::questionTexts() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_questionTexts;
}

std::vector<Question> ScriptedHost::questionsAsked() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_questions;
}

int ScriptedHost::endCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ends;
}

int ScriptedHost::settingsRuns() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settingsRuns;
}

}  // namespace qavix::test
