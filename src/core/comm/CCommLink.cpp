#include "comm/CCommLink.h"

#include <ctime>

#include "comm/CommMessages.h"
#include "comm/JournaledWrite.h"
#include "files/RecoveryFiles.h"
#include "model/Codec.h"
#include "model/PageRequests.h"

namespace qavix {

namespace {

bool decodesIntoWorkingSet(int code) {
    if (code == kCodeControl46 || code == kCodeControl47 || code == kCodeClock) {
        return true;
    }
    if (code >= kCodeFirstString && code <= kCodeLastString) {
        return true;
    }
    return code >= kCodeFirstParameter && code <= kCodeLastParameter;
}

// Bank-image offsets of the four identity pieces a bank summary reads.
constexpr int kSummaryStarts[] = {0, 64, 128, 192};

// What may still go to the worker once the operation is cancelled: the requests that leave
// the controller and the connection as they should be.
bool cleansUp(int code) {
    switch (code) {
        case kCodeLeaveSetting:
        case kCodeSuspendPolling:
        case kCodeResumePolling:
        case kCodeClose:
        case kCodeEndWorker:
            return true;
        default:
            return false;
    }
}

}  // namespace

int mapWorkerResult(int code, int workerResult) {
    switch (workerResult) {
        case kWorkerOk:
            return kRequestOk;
        case kWorkerLost:
            return code == kCodeOpen ? kRequestOk : kRequestFailed;
        default:
            return kRequestFailed;
    }
}

CCommLink::CCommLink(CommHost& host, DeviceModel& model, const CommTimings& timings)
    : m_host(host), m_model(model), m_timings(timings) {
    m_worker = std::make_unique<CCommThread>(LinkApi{}, m_host, m_timings);
    // Bank edits applied offline exist nowhere else; they go to the working directory,
    // where the program keeps its settings file too, else to the user's data folder.
    m_recovery = [](const DeviceModel& m) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return saveRecoveryFiles(m, recoveryFolders("."), local);
    };
}

CCommLink::~CCommLink() {
    end();
}

bool CCommLink::start(const std::string& libraryPath, LinkConnection connection) {
    if (!m_library.load(libraryPath)) {
        return false;
    }
    m_connection = 0;
    if (connection == LinkConnection::Own) {
        const LinkApi& api = m_library.api();
        if (!api.hasConnections() || api.newConnection(&m_connection) != 1) {
            m_library.failLoad("the link library serves one connection at a time");
            return false;
        }
    }
    m_worker = std::make_unique<CCommThread>(m_library.api(), m_host, m_timings);
    m_worker->setLostHook([this](const LostConnection& lost) { return onConnectionLost(lost); });
    installResetHook();
    m_worker->start(m_connection);
    return true;
}

void CCommLink::end() {
    if (!m_library.loaded()) {
        return;
    }
    m_worker->stop();
    const LinkApi& api = m_library.api();
    if (m_connection != 0) {
        // Only this link's line closes; the shared connection may serve another link.
        api.endConnection(m_connection);
        m_connection = 0;
    } else if (api.terminate != nullptr) {
        api.terminate();
    }
    m_library.unload();
}

int CCommLink::request(int code, int arg1, int start, int count, int timeoutMs, int arg5, int arg6,
                       const std::string& text) {
    RequestBlock r;
    r.code = code;
    r.arg = {arg1, start, count, timeoutMs, arg5, arg6};
    r.text = text;
    return request(r);
}

int CCommLink::request(RequestBlock& r) {
    m_lastLost = false;
    m_lastCancelled = false;
    m_unreadableReply.clear();
    switch (routeRequest(r.code, m_model.selectedSet())) {
        case Route::OfflineApply:
            // Pages write through writePage, which never sends a put while a bank is
            // selected; one that arrives anyway edits the bank the same way.
            applyBankEdit({codec::PutRequest{r.code, r.arg[0], r.arg[1], r.arg[2], r.text}},
                          m_model);
            return kRequestOk;
        case Route::Nothing:
            return kRequestOk;
        case Route::BankImageApply: {
            // arg 1 names the stored set, arg 2 the bank-image offset of the text.
            const int set = r.arg[0];
            if (set < 0 || set >= kStoredSetCount) {
                return kRequestFailed;
            }
            const auto result = codec::decodeBankImage(r.arg[1], r.text, m_model.storedSet(set));
            return result == codec::DecodeResult::Ok ? kRequestOk : kRequestFailed;
        }
        case Route::Controller:
            break;
    }
    if (!cleansUp(r.code) && m_host.cancelRequested()) {
        m_lastCancelled = true;
        return kRequestFailed;
    }
    const bool write = m_journal != nullptr && changesSettings(r.code);
    if (write && !m_journal->writeOpen()) {
        // A write that no start record announced: refused, whoever forgot to announce it.
        m_host.showMessage(msg::kUnrecordedWrite);
        return kRequestFailed;
    }
    const int result = post(r);
    if (write && result == kRequestOk) {
        m_journal->noteSettingSent();
    }
    return result;
}

int CCommLink::post(RequestBlock& r) {
    if (!m_library.loaded() || m_worker->ended()) {
        m_lastLost = true;
        return kRequestFailed;
    }
    m_worker->post(r);
    while (!m_worker->waitDone(m_timings.waitSlice)) {
        m_host.pumpEvents(m_busy);
    }
    r = m_worker->takeResult();
    m_lastLost = r.result == kWorkerLost;
    const int mapped = mapWorkerResult(r.code, r.result);
    if (r.result == kWorkerOk && !decodeAnswer(r)) {
        // A reply the program cannot take apart is no answer: the data stays as it was
        // and the sequence that asked for it stops, with the reply kept for its message.
        std::string reply = r.reply;
        for (const std::string& part : r.replies) {
            reply += (reply.empty() ? "" : " ") + part;
        }
        m_unreadableReply = "request " + std::to_string(r.code) + ", " +
                            std::to_string(reply.size()) + " characters: \"" + reply + "\"";
        return kRequestFailed;
    }
    return mapped;
}

bool CCommLink::decodeAnswer(const RequestBlock& r) {
    if (decodesIntoWorkingSet(r.code)) {
        return codec::decodeReply(r.code, r.arg[0], r.arg[1], r.reply, m_model) !=
               codec::DecodeResult::Malformed;
    }
    if (r.code >= kCodeFirstBankSummary && r.code <= kCodeLastBankSummary) {
        // While the bank is selected its data lives in the working set, which goes back
        // into the stored set when another set is selected.
        const int index = r.code - kCodeFirstBankSummary + 1;
        SettingsData& bank = m_model.selectedSet() == index
                                 ? static_cast<SettingsData&>(m_model.working())
                                 : m_model.storedSet(index);
        for (size_t i = 0; i < r.replies.size() && i < std::size(kSummaryStarts); ++i) {
            if (codec::decodeBankImage(kSummaryStarts[i], r.replies[i], bank) ==
                codec::DecodeResult::Malformed) {
                return false;
            }
        }
    }
    return true;
}

void CCommLink::setJournal(WriteJournal* journal) {
    m_journal = journal;
    installResetHook();
}

void CCommLink::installResetHook() {
    if (m_journal == nullptr) {
        m_worker->setResetHook(nullptr);
        return;
    }
    m_worker->setResetHook(
        [this](const std::function<bool()>& reset) { return journaledReset(*this, reset); });
}

int CCommLink::open() {
    return request(kCodeOpen, 0, 0, 0, 0);
}

int CCommLink::checkStatus() {
    return request(kCodeStatus);
}

int CCommLink::suspendPolling() {
    return request(kCodeSuspendPolling);
}

int CCommLink::resumePolling() {
    return request(kCodeResumePolling);
}

int CCommLink::leaveSettingMode() {
    return request(kCodeLeaveSetting);
}

int CCommLink::communicationSettings() {
    suspendPolling();
    m_host.runCommSettings();
    return resumePolling();
}

std::string CCommLink::onConnectionLost(const LostConnection& lost) {
    LostConnection report = lost;
    if (m_recovery) {
        m_host.runOnUiThread([&] { report.recovery = m_recovery(m_model); });
    }
    return lostConnectionMessage(report);
}

}  // namespace qavix
