#include "comm/Transactions.h"

#include <algorithm>
#include <memory>

#include "model/ClockText.h"
#include "model/PageRequests.h"

namespace qavix {

namespace {

int bankReadCode(int bank) {
    return kCodeFirstBankRead + bank - 1;
}
int bankPutCode(int bank) {
    return codec::kSubChannel1 + 40 + bank;
}  // 42..45

// A per-channel read addressed as the code table says.
ReadStep channelStep(int readCode, int channel, int beams) {
    const code::Address at = code::channelAddress(*code::find(readCode), channel, beams);
    return {readCode, channel, at.start, at.count};
}

bool isPerChannelSubBlock(int sub, int& channel, bool& perBeam) {
    perBeam = false;
    if (sub >= codec::kSubChannel1 && sub <= codec::kSubChannel3) {
        channel = sub - codec::kSubChannel1;
        return true;
    }
    perBeam = true;
    if (sub >= codec::kSubThreshold1 && sub <= codec::kSubThreshold3) {
        channel = sub - codec::kSubThreshold1;
        return true;
    }
    if (sub >= codec::kSubZero1 && sub <= codec::kSubZero3) {
        channel = sub - codec::kSubZero1;
        return true;
    }
    return false;
}

}  // namespace

const int kBankWriteOrder[codec::kSubBlockCount] = {
    codec::kSubGeneral,  codec::kSubThreshold1, codec::kSubThreshold2, codec::kSubThreshold3,
    codec::kSubZero1,    codec::kSubZero2,      codec::kSubZero3,      codec::kSubExtended,
    codec::kSubChannel1, codec::kSubChannel2,   codec::kSubChannel3,
};

std::vector<ReadStep> readAllFixedSteps() {
    using namespace code;
    // Texts read with GetStringData: argument 1 names the sensor (or 4 the controller), the
    // count the characters; the start goes nowhere.
    constexpr int kTextStart = 48;
    constexpr int kTextLength = 16;
    constexpr int kTypeLength = 20;
    constexpr int kControllerTextOwner = 4;
    constexpr int kControllerTextStart = 100;
    std::vector<ReadStep> steps;
    for (int c = 1; c <= kChannelCount; ++c) {
        steps.push_back({kReadSensorModel, c, kTextStart, kTextLength});
        for (int read : {kReadOnTh, kReadOffTh, kReadFunction, kReadFunctionBit1, kReadFunctionBit2,
                         kReadSubConf, kReadAlmConf, kReadTimeConf, kReadCountConf, kReadVerR,
                         kReadVerE, kReadType2, kReadType3, kReadFixConf, kReadFloConfBit4,
                         kReadFloConfBit5, kReadFloConf}) {
            steps.push_back(channelStep(read, c, 0));
        }
    }
    steps.push_back({kReadControlTexts, 0, 0, 0});
    steps.push_back({kReadType, 0, 0, kTypeLength});
    steps.push_back({kReadControllerText, kControllerTextOwner, kControllerTextStart, kTextLength});
    for (int read : {kReadIdNumber, kReadPioFunctions, kReadPioInversion}) {
        steps.push_back({read, 0, 0, 0});
    }
    // Values of every channel at once: argument 1 is the first channel, the count all three.
    steps.push_back({kReadBeamCounts, 1, 0, kChannelCount});
    steps.push_back({kReadJointNum, 0, 0, 0});
    steps.push_back({kReadHys, 1, 0, kChannelCount});
    steps.push_back({kReadThCnf, 1, 0, kChannelCount});
    steps.push_back({kReadAllOnOffCnf, 0, 0, 0});
    steps.push_back({kReadFixCnf, 1, 0, kChannelCount});
    steps.push_back({kReadAllOn, 1, 0, 0});
    steps.push_back({kReadAllOff, 1, 0, 0});
    for (int read : {kReadParaCnf, kReadParaType, kReadParaRes, kReadParaUnit, kReadGrpCnf,
                     kReadGrpUp, kReadGrpLow, kReadTchCnf, kReadBankFunction, kReadOnOffDiff}) {
        steps.push_back({read, 0, 0, 0});
    }
    return steps;
}

std::vector<ReadStep> readAllBeamSteps(const SettingsData& set) {
    using namespace code;
    std::vector<ReadStep> steps;
    const int joint = std::clamp(set.general.jointNum, 0, kChannelCount);
    for (int c = 1; c <= joint; ++c) {
        const int beams = std::clamp(set.channel(c - 1).beamCount, 0, kMaxBeams);
        for (int read : {kReadSetAxis, kReadFixAxis, kReadZero, kReadAxisTh, kReadAbsOnTh,
                         kReadAbsOffTh, kReadRatioOnTh, kReadRatioOffTh, kReadAxisTh, kReadZero}) {
            steps.push_back(channelStep(read, c, beams));
        }
    }
    return steps;
}

std::vector<ReadStep> settingsReadSteps(const SettingsData& set) {
    using namespace code;
    std::vector<ReadStep> steps;
    for (const ReadStep& step : readAllFixedSteps()) {
        if (step.code != kReadSensorModel && step.code != kReadControllerText) {
            steps.push_back(step);
        }
    }
    const int joint = std::clamp(set.general.jointNum, 0, kChannelCount);
    for (int c = 1; c <= joint; ++c) {
        const int beams = std::clamp(set.channel(c - 1).beamCount, 0, kMaxBeams);
        for (int read : {kReadSetAxis, kReadFixAxis, kReadZero, kReadAxisTh}) {
            steps.push_back(channelStep(read, c, beams));
        }
    }
    return steps;
}

std::vector<codec::PutRequest> wholeSetPuts(SettingsData& set) {
    using namespace code;
    static constexpr int kControllerPuts[] = {
        kPutPioFunctions, kPutPioInversion, kPutAllOnOffCnf, kPutFixCnf,  kPutAllOn,
        kPutAllOff,       kPutParaCnf,      kPutParaType,    kPutParaRes, kPutParaUnit,
        kPutGrpCnf,       kPutGrpUp,        kPutGrpLow,      kPutTchCnf};
    // clang-format off
    static constexpr int kChannelPuts[] = {
        kPutSetAxis, kPutOnTh, kPutOffTh, kPutOnOffDiff, kPutFunction, kPutSubConf, kPutAlmConf,
        kPutTimeConf, kPutCountConf, kPutFunctionBit1, kPutFixConf, kPutFixAxis,
        kPutFunctionBit2, kPutFloConfBit4, kPutFloConfBit5, kPutFloConf, kPutZero,
        kPutAxisTh, kPutHys, kPutThCnf};
    // clang-format on
    std::vector<codec::PutRequest> puts;
    for (int put : kControllerPuts) {
        puts.push_back(codec::encodePut(put, 0, set));
    }
    const int joint = std::clamp(set.general.jointNum, 0, kChannelCount);
    for (int c = 1; c <= joint; ++c) {
        for (int put : kChannelPuts) {
            puts.push_back(codec::encodePut(put, c, set));
        }
    }
    return puts;
}

std::vector<int> changedSubBlocks(const SettingsData& working, const SettingsData& stored) {
    SettingsData a = working;
    SettingsData b = stored;
    std::vector<int> changed;
    for (int sub : kBankWriteOrder) {
        int channel = 0;
        bool perBeam = false;
        std::string textA = codec::encodeSubBlock(sub, a);
        std::string textB = codec::encodeSubBlock(sub, b);
        if (isPerChannelSubBlock(sub, channel, perBeam)) {
            const int beams = std::clamp(a.channel(channel).beamCount, 0, kMaxBeams);
            if (beams == 0) {
                continue;
            }
            if (perBeam) {
                const size_t digits = static_cast<size_t>(beams) * 2;
                textA.resize(std::min(textA.size(), digits));
                textB.resize(std::min(textB.size(), digits));
            }
        }
        if (textA != textB) {
            changed.push_back(sub);
        }
    }
    return changed;
}

void Transactions::lock(bool writing) {
    m_link.setBusy(true);
    if (m_observer.lock) {
        m_observer.lock(writing);
    }
}

void Transactions::unlock() {
    if (m_observer.unlock) {
        m_observer.unlock();
    }
    m_link.setBusy(false);
}

int Transactions::runSteps(const std::vector<ReadStep>& steps, int& done, int total) {
    for (const ReadStep& s : steps) {
        if (m_link.request(s.code, s.arg1, s.start, s.count) != kRequestOk) {
            return kRequestFailed;
        }
        report(++done, total);
    }
    return kRequestOk;
}

void Transactions::report(int done, int total) {
    if (m_observer.progress) {
        m_observer.progress(done, total);
    }
}

int Transactions::readAll() {
    const std::vector<ReadStep> fixed = readAllFixedSteps();
    int done = 0;
    // The beam steps are known only once the beam counts have been read; the total shown
    // meanwhile assumes the largest controller.
    const int estimate = static_cast<int>(fixed.size()) + kChannelCount * 10;
    if (runSteps(fixed, done, estimate) != kRequestOk) {
        return kRequestFailed;
    }
    const std::vector<ReadStep> beams = readAllBeamSteps(m_model.working());
    return runSteps(beams, done, static_cast<int>(fixed.size() + beams.size()));
}

int Transactions::selectStoredSet(int index) {
    m_model.selectSet(index);
    return m_link.request(code::kReadBankFunction);
}

int Transactions::readBanks() {
    int done = 0;
    for (int b = 1; b <= kBankCount; ++b) {
        if (selectStoredSet(b) != kRequestOk) {
            m_model.selectSet(kCurrentSet);
            return kRequestFailed;
        }
        report(++done, kBankReadRequests);
        if (m_link.request(kCodeFirstBankSummary + b - 1) != kRequestOk) {
            m_model.selectSet(kCurrentSet);
            return kRequestFailed;
        }
        report(++done, kBankReadRequests);
    }
    const int result = selectStoredSet(kCurrentSet);
    if (result == kRequestOk) {
        report(++done, kBankReadRequests);
    }
    m_model.finishBanksRead();
    return result;
}

int Transactions::readBankImage(int bank, StoredSet& into) {
    int result = kRequestOk;
    for (int sub = 1; sub <= codec::kSubBlockCount && result == kRequestOk; ++sub) {
        const codec::SubBlockLayout layout = codec::subBlockLayout(sub);
        RequestBlock r;
        r.code = bankReadCode(bank);
        r.arg = {0, layout.start, layout.count, kRequestTimeoutMs, 0, 0};
        result = m_link.request(r);
        if (result == kRequestOk &&
            codec::decodeBankImage(layout.start, r.reply, into) != codec::DecodeResult::Ok) {
            result = kRequestFailed;
        }
        if (result == kRequestOk) {
            report(sub, codec::kSubBlockCount);
        }
    }
    if (into.general.jointNum > 0) {
        deriveThresholds(into);
    }
    return result;
}

int Transactions::rereadBank(int bank) {
    if (bank < 1 || bank > kBankCount) {
        return kRequestFailed;
    }
    lock(false);
    StoredSet& set = m_model.storedSet(bank);
    set.edited = 0;
    set.writeAll = 0;
    set.loaded = 1;
    const int result = readBankImage(bank, set);
    unlock();
    return result;
}

std::optional<SettingsData> Transactions::bankAsHeld(int bank) {
    const StoredSet& stored = m_model.storedSet(bank);
    const SettingsData& current = currentValues(m_model);
    // A bank the program has read and not replaced or edited away from is what the
    // controller holds; the edits of the selected bank are in the working set.
    if (stored.loaded != 0 && stored.writeAll == 0 &&
        (stored.edited == 0 || m_model.selectedSet() == bank)) {
        return stored.compatible != 0 ? std::optional<SettingsData>(stored) : std::nullopt;
    }
    StoredSet held;
    if (readBankImage(bank, held) != kRequestOk || !isCompatible(current, held)) {
        return std::nullopt;
    }
    return held;
}

int Transactions::sendCurrentSet(const std::vector<codec::PutRequest>& puts, int startTimeoutMs,
                                 SettingsData& reached) {
    // Start, the blocks, then enable (which reads back and compares).
    const int total = static_cast<int>(puts.size()) + 2;
    int done = 0;
    if (m_link.request(kCodeStartSetting, 0, 0, 0, startTimeoutMs) != kRequestOk) {
        return kRequestFailed;
    }
    report(++done, total);
    for (const codec::PutRequest& p : puts) {
        RequestBlock r;
        r.code = p.code;
        r.arg = {p.channel, p.start, p.count, kRequestTimeoutMs, 0, 0};
        r.text = p.text;
        if (m_link.request(r) != kRequestOk) {
            return kRequestFailed;
        }
        applyWrittenPuts({p}, reached);
        report(++done, total);
    }
    const int result = m_link.request(kCodeEnableSetting);
    if (result == kRequestOk) {
        report(++done, total);
    }
    return result;
}

int Transactions::writeCurrentSet(std::vector<codec::PutRequest> puts, const WriteDescription& what,
                                  int startTimeoutMs) {
    const SettingsData before = m_model.working();
    if (m_model.selectedSet() != kCurrentSet) {
        // Applied to the bank's working set only: the controller sees it with the bank write.
        SettingsData applied = before;
        return sendCurrentSet(puts, startTimeoutMs, applied);
    }
    SettingsData after = before;
    applyWrittenPuts(puts, after);
    JournaledWrite journaled(m_link, what, kCurrentSet, knownSettings(before), after);
    if (!journaled.allowed()) {
        return kRequestFailed;
    }
    SettingsData reached = before;
    const int result = sendCurrentSet(puts, startTimeoutMs, reached);
    journaled.finish(result, reached);
    return result;
}

int Transactions::writeCurrentValues(const SettingsData& before, const WriteDescription& what) {
    if (m_model.selectedSet() != kCurrentSet) {
        return kRequestFailed;
    }
    const std::vector<codec::PutRequest> puts = wholeSetPuts(m_model.working());
    // What the controller will hold: what it held with every put applied; the working set
    // itself holds more (what a bank file does not carry is empty there).
    const std::optional<SettingsData> held = knownSettings(before);
    SettingsData after = held.value_or(m_model.working());
    applyWrittenPuts(puts, after);
    JournaledWrite journaled(m_link, what, kCurrentSet, held, after);
    if (!journaled.allowed()) {
        return kRequestFailed;
    }
    lock(true);
    SettingsData reached = held.value_or(m_model.working());
    const int result = sendCurrentSet(puts, kRequestTimeoutMs, reached);
    unlock();
    journaled.finish(result, reached);
    return result;
}

int Transactions::writeSelectedBank(const WriteDescription& what) {
    const int s = m_model.selectedSet();
    if (s < 1 || s > kBankCount) {
        return kRequestOk;
    }
    StoredSet& stored = m_model.storedSet(s);
    std::vector<int> blocks;
    if (stored.writeAll != 0) {
        blocks.assign(std::begin(kBankWriteOrder), std::end(kBankWriteOrder));
    } else if (stored.edited != 0) {
        blocks = changedSubBlocks(m_model.working(), stored);
    } else {
        return kRequestOk;
    }
    lock(true);
    std::optional<SettingsData> before;
    if (m_link.journal() != nullptr) {
        before = bankAsHeld(s);
    }
    std::vector<std::string> texts;
    for (int block : blocks) {
        texts.push_back(codec::encodeSubBlock(block, m_model.working()));
    }
    // What the bank will hold: what it held with every sub-block written over it.
    SettingsData after = before.value_or(SettingsData{});
    for (size_t i = 0; i < blocks.size(); ++i) {
        codec::decodeBankImage(codec::subBlockLayout(blocks[i]).start, texts[i], after);
    }
    deriveThresholds(after);
    JournaledWrite journaled(m_link, what, s, before, after);
    if (!journaled.allowed()) {
        unlock();
        return kRequestFailed;
    }
    SettingsData reached = before.value_or(SettingsData{});
    const int total = static_cast<int>(blocks.size()) + 2;
    int done = 0;
    int result = m_link.request(kCodeStartBankSetting);
    for (size_t i = 0; i < blocks.size() && result == kRequestOk; ++i) {
        report(++done, total);
        const codec::SubBlockLayout layout = codec::subBlockLayout(blocks[i]);
        RequestBlock r;
        r.code = bankPutCode(s);
        r.arg = {0, layout.start, layout.count, kRequestTimeoutMs, 0, 0};
        r.text = texts[i];
        result = m_link.request(r);
        if (result == kRequestOk) {
            codec::decodeBankImage(layout.start, r.text, reached);
        }
    }
    if (result == kRequestOk) {
        report(++done, total);
        result = m_link.request(kCodeEnableBankSetting);
    }
    if (result == kRequestOk) {
        report(++done, total);
    }
    if (result == kRequestOk) {
        // The bank now holds what was written: the next write compares against it.
        static_cast<SettingsData&>(stored) = m_model.working();
        stored.edited = 0;
        stored.writeAll = 0;
    }
    unlock();
    deriveThresholds(reached);
    journaled.finish(result, reached);
    return result;
}

int Transactions::clearBanks(const std::vector<int>& banks) {
    if (banks.empty()) {
        return kRequestOk;
    }
    lock(true);
    // What each bank held and who the controller is, for the records: read before the
    // controller is in factory mode, where a read's status check would find it so.
    std::vector<std::optional<SettingsData>> held;
    for (int b : banks) {
        held.push_back(m_link.journal() != nullptr ? bankAsHeld(b) : std::nullopt);
    }
    if (m_link.journal() != nullptr) {
        readIdentityForJournal(m_link);
    }
    int result = m_link.request(kCodeFactoryStart);
    std::vector<int> erased;
    // One record per bank, each on the disk before its erasure goes out; all end once the
    // banks' summaries have been read again, which is when the erasures are seen to stand.
    std::vector<std::unique_ptr<JournaledWrite>> records;
    for (size_t i = 0; i < banks.size() && result == kRequestOk; ++i) {
        const int b = banks[i];
        records.push_back(std::make_unique<JournaledWrite>(
            m_link, WriteDescription{journal::Operation::BankErase, ""}, b, held[i], std::nullopt));
        if (!records.back()->allowed()) {
            result = kRequestFailed;
            break;
        }
        result = m_link.request(kCodeClearBank, b - 1);
        if (result == kRequestOk) {
            m_model.clearBank(b);
            erased.push_back(b);
        }
    }
    if (result == kRequestOk) {
        result = m_link.request(kCodeFactoryEnd);
    }
    unlock();
    // An erasure is done when the bank's summary, read again, shows it empty.
    std::vector<int> confirmed;
    const int previous = m_model.selectedSet();
    if (result == kRequestOk) {
        lock(false);
        for (int b : erased) {
            if (selectStoredSet(b) != kRequestOk ||
                m_link.request(kCodeFirstBankSummary + b - 1) != kRequestOk) {
                result = kRequestFailed;
                break;
            }
            confirmed.push_back(b);
        }
        unlock();
        // Always back to the set that was shown, also after a failed read.
        if (selectStoredSet(previous) != kRequestOk) {
            result = kRequestFailed;
        }
        m_model.checkCompatibility();
    }
    for (size_t i = 0; i < records.size(); ++i) {
        const int b = banks[i];
        // A sequence that failed afterwards is recorded as failed, as the user is told: the
        // record never claims more than the program does.
        const bool done = result == kRequestOk &&
                          std::find(confirmed.begin(), confirmed.end(), b) != confirmed.end() &&
                          m_model.storedSet(b).compatible == 0;
        records[i]->finish(done ? kRequestOk : kRequestFailed, std::nullopt);
    }
    return result;
}

std::optional<SettingsData> Transactions::readTaughtValues(int channel) {
    if (m_model.selectedSet() != kCurrentSet || channel < 1 || channel > kChannelCount) {
        return std::nullopt;
    }
    const int beams = std::clamp(m_model.working().channel(channel - 1).beamCount, 0, kMaxBeams);
    for (int read : {code::kReadZero, code::kReadAxisTh}) {
        const ReadStep step = channelStep(read, channel, beams);
        if (m_link.request(step.code, step.arg1, step.start, step.count) != kRequestOk) {
            return std::nullopt;
        }
    }
    return SettingsData(m_model.working());
}

int Transactions::zeroReset(int channel) {
    JournaledWrite journaled(m_link,
                             {journal::Operation::ZeroReset, "CH" + std::to_string(channel)},
                             kCurrentSet, knownSettings(currentValues(m_model)), std::nullopt);
    if (!journaled.allowed()) {
        return kRequestFailed;
    }
    const int result = m_link.request(kCodeZeroReset, channel);
    finishTaught(journaled, result, channel);
    return result;
}

int Transactions::teachRatio(int channel, int arg5, int arg6, const WriteDescription& what) {
    WriteDescription described = what;
    if (described.detail.empty()) {
        described.detail = "CH" + std::to_string(channel);
    }
    JournaledWrite journaled(m_link, described, kCurrentSet, knownSettings(currentValues(m_model)),
                             std::nullopt);
    if (!journaled.allowed()) {
        return kRequestFailed;
    }
    const int result =
        m_link.request(kCodeTeachRatio, channel, 0, 0, kRequestTimeoutMs, arg5, arg6);
    finishTaught(journaled, result, channel);
    return result;
}

void Transactions::finishTaught(JournaledWrite& journaled, int result, int channel) {
    std::optional<SettingsData> reached;
    if (result == kRequestOk && m_link.journal() != nullptr) {
        reached = readTaughtValues(channel);
    }
    // Without the values read back the end record cannot say what the controller took.
    journaled.finish(reached ? result : kRequestFailed, reached);
}

int Transactions::setClock(const std::function<std::tm()>& now) {
    if (m_link.journal() != nullptr) {
        // The time it had, for the record; a clock that cannot be read is recorded as unknown.
        m_link.request(kCodeClock);
        readIdentityForJournal(m_link);
    }
    const std::tm when = now();
    const std::optional<SettingsData> known = knownSettings(currentValues(m_model));
    const std::vector<bankfile::FieldChange> clock = {
        {"CONTROLLER.CLOCK", formatControllerClock(currentValues(m_model).general).value_or(""),
         formatClockTime(when), "", 1}};
    JournaledWrite journaled(m_link, {journal::Operation::ClockSet, ""}, kCurrentSet, known, known,
                             clock);
    if (!journaled.allowed()) {
        return kRequestFailed;
    }
    const int result =
        m_link.request(kCodePutControl, 0, 0, 0, kRequestTimeoutMs, 0, 0, clockSetText(when));
    journaled.finish(result, known);
    return result;
}

}  // namespace qavix
