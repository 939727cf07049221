#include "comm/JournaledWrite.h"

#include <cstdio>
#include <random>

#include "PortResolver.h"
#include "comm/CommMessages.h"
#include "comm/Transactions.h"
#include "journal/SettingChanges.h"
#include "model/ControllerCodes.h"

namespace qavix {

namespace {

std::string operationId() {
    std::random_device random;
    std::string id;
    for (int i = 0; i < 4; ++i) {
        char part[9];
        std::snprintf(part, sizeof part, "%08x", static_cast<unsigned>(random()));
        id += part;
    }
    return id;
}

std::optional<Fingerprint> fingerprintOf(const std::optional<SettingsData>& set) {
    if (!set) {
        return std::nullopt;
    }
    return settingsFingerprint(*set);
}

std::string deviceOf(const LinkSettings& settings) {
    if (!settings.portName.empty()) {
        return settings.portName;
    }
    const std::optional<link::PortTarget> target =
        link::resolvePort("COM" + std::to_string(settings.activePort + 1));
    if (!target) {
        return {};
    }
    return target->emulator ? "sim" : !target->device.empty() ? target->device : target->value;
}

std::string failureText(CCommLink& link) {
    if (link.lastRequestCancelled()) {
        return "中断されました";
    }
    if (link.lastRequestLostConnection() || link.programEnding()) {
        return "通信が断絶しました";
    }
    return "コントローラが書込みを受け付けなかったか、読み戻した値が書き込んだ値と一致しませんでし"
           "た";
}

}  // namespace

namespace {

// Who the controller is, for the records: the identity `source` holds, with what the initial
// read leaves out (the serial number; everything when it did not run) read now when
// `mayRead`. Reads change nothing.
fleet::ControllerIdentity controllerIdentity(CCommLink& link, SettingsData source, bool mayRead) {
    DeviceModel& model = link.model();
    GeneralBlock& g = source.general;
    // Texts only the controller has: read while its current values are shown (a bank is
    // selected only after the initial read has run).
    if (mayRead && model.selectedSet() == kCurrentSet) {
        for (const ReadStep& step : readAllFixedSteps()) {
            const bool missing = (step.code == code::kReadControlTexts && g.versionText.empty()) ||
                                 (step.code == code::kReadType && g.type.empty()) ||
                                 (step.code == code::kReadIdNumber && g.idText.empty());
            if (missing &&
                link.request(step.code, step.arg1, step.start, step.count) == kRequestOk) {
                const GeneralBlock& read = model.working().general;
                g.versionText = g.versionText.empty() ? read.versionText : g.versionText;
                g.type = g.type.empty() ? read.type : g.type;
                g.idText = g.idText.empty() ? read.idText : g.idText;
            }
        }
    }
    if (mayRead && g.serialText.empty() && link.request(code::kReadSerialText) == kRequestOk) {
        g.serialText = model.working().general.serialText;
        // The controller's, whichever set is shown: the next write need not read it again.
        model.storedSet(kCurrentSet).general.serialText = g.serialText;
    }
    return fleet::identityOf(source);
}

}  // namespace

void readIdentityForJournal(CCommLink& link) {
    controllerIdentity(link, currentValues(link.model()), true);
}

const SettingsData& currentValues(const DeviceModel& model) {
    return model.selectedSet() == kCurrentSet ? static_cast<const SettingsData&>(model.working())
                                              : model.storedSet(kCurrentSet);
}

std::optional<SettingsData> knownSettings(const SettingsData& set) {
    if (set.general.jointNum <= 0) {
        return std::nullopt;
    }
    return set;
}

JournaledWrite::JournaledWrite(CCommLink& link, WriteDescription what, int target,
                               std::optional<SettingsData> before,
                               std::optional<SettingsData> after,
                               std::vector<bankfile::FieldChange> otherChanges, bool identityReads)
    : m_link(link),
      m_journal(link.journal()),
      m_before(std::move(before)),
      m_otherChanges(std::move(otherChanges)) {
    if (m_journal == nullptr) {
        return;
    }
    // A write of the current values names the controller as it was before: the working set
    // may hold a file's settings by now.
    m_identity = controllerIdentity(
        link, target == kCurrentSet && m_before ? *m_before : currentValues(link.model()),
        identityReads);
    journal::Record& r = m_start;
    r.kind = journal::RecordKind::Start;
    r.operationId = operationId();
    r.operation = what.operation;
    r.detail = std::move(what.detail);
    r.target = journal::targetName(target);
    fillSource(r);
    if (m_before && after) {
        r.changes = journal::settingChanges(*m_before, *after);
    }
    r.changes.insert(r.changes.end(), m_otherChanges.begin(), m_otherChanges.end());
    r.fingerprintBefore = fingerprintOf(m_before).value_or(Fingerprint{});
    r.fingerprintAfter = fingerprintOf(after).value_or(Fingerprint{});
    const std::optional<std::string> reason = m_journal->reasonFor(r.operation, r.detail);
    m_journal->setLastRefused(false);
    if (!reason) {
        m_allowed = false;  // the user cancelled the write when asked why
        return;
    }
    r.reason = *reason;
    m_allowed = append(r, msg::kJournalRefused);
    m_journal->setLastRefused(!m_allowed);
    if (m_allowed) {
        m_sentAtStart = m_journal->settingsSent();
        m_journal->openWrite();
    }
}

JournaledWrite::~JournaledWrite() {
    finish(kRequestFailed, std::nullopt);
}

void JournaledWrite::fillSource(journal::Record& r) {
    const WriteSource& source = m_journal->source();
    r.user = source.user;
    r.host = source.host;
    r.program = source.program;
    r.version = source.version;
    const LinkSettings settings = m_link.settings();
    r.port = "COM" + std::to_string(settings.activePort + 1);
    r.device = deviceOf(settings);
    r.unit = settings.unit;
    r.controller = m_identity;
}

bool JournaledWrite::append(journal::Record& record, const char* failureMessage) {
    const journal::AppendResult appended = m_journal->journal().append(record);
    if (!appended.ok) {
        m_link.host().showMessage(std::string(failureMessage) + m_journal->folder() + "\n（" +
                                  appended.error + "）");
    }
    return appended.ok;
}

void JournaledWrite::finish(int requestResult, const std::optional<SettingsData>& reached) {
    if (m_finished || m_journal == nullptr || !m_allowed) {
        m_finished = true;
        return;
    }
    m_finished = true;
    const bool anythingSent = m_journal->settingsSent() > m_sentAtStart;
    m_journal->closeWrite();
    journal::Record end = m_start;
    end.kind = journal::RecordKind::End;
    end.time.clear();
    end.afterDamage = false;
    end.changes.clear();
    const bool ok = requestResult == kRequestOk;
    if (m_before && reached) {
        end.changes = journal::settingChanges(*m_before, *reached);
    }
    if (ok) {
        end.changes.insert(end.changes.end(), m_otherChanges.begin(), m_otherChanges.end());
        end.result = journal::Result::Ok;
        end.fingerprintAfter = fingerprintOf(reached).value_or(Fingerprint{});
    } else {
        end.result = anythingSent ? journal::Result::Failed : journal::Result::Refused;
        // Refused: the target holds what it held. Failed: only a read would tell.
        end.fingerprintAfter = anythingSent ? Fingerprint{} : end.fingerprintBefore;
        end.message = failureText(m_link);
    }
    append(end, msg::kJournalEndLost);
}

bool journaledReset(CCommLink& link, const std::function<bool()>& reset) {
    std::optional<JournaledWrite> write;
    std::optional<SettingsData> known;
    link.host().runOnUiThread([&] {
        known = knownSettings(currentValues(link.model()));
        // The reset ends a setting or factory mode: what was put and not enabled is
        // discarded, the settings stay as they were.
        write.emplace(link, WriteDescription{journal::Operation::Reset, ""}, kCurrentSet, known,
                      known, std::vector<bankfile::FieldChange>{}, false);
    });
    if (!write->allowed()) {
        link.host().runOnUiThread([&] { write.reset(); });
        return false;
    }
    const bool taken = reset();
    link.host().runOnUiThread([&] {
        if (taken) {
            link.journal()->noteSettingSent();
        }
        write->finish(taken ? kRequestOk : kRequestFailed, known);
        write.reset();
    });
    return true;
}

}  // namespace qavix
