#include "comm/Transactions.h"

#include <algorithm>

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

int Transactions::rereadBank(int bank) {
    if (bank < 1 || bank > kBankCount) {
        return kRequestFailed;
    }
    lock(false);
    StoredSet& set = m_model.storedSet(bank);
    set.edited = 0;
    set.writeAll = 0;
    set.loaded = 1;
    int result = kRequestOk;
    for (int sub = 1; sub <= codec::kSubBlockCount && result == kRequestOk; ++sub) {
        const codec::SubBlockLayout layout = codec::subBlockLayout(sub);
        RequestBlock r;
        r.code = bankReadCode(bank);
        r.arg = {0, layout.start, layout.count, kRequestTimeoutMs, 0, 0};
        result = m_link.request(r);
        if (result == kRequestOk &&
            codec::decodeBankImage(layout.start, r.reply, set) != codec::DecodeResult::Ok) {
            result = kRequestFailed;
        }
        if (result == kRequestOk) {
            report(sub, codec::kSubBlockCount);
        }
    }
    if (set.general.jointNum > 0) {
        deriveThresholds(set);
    }
    unlock();
    return result;
}

int Transactions::writeCurrentSet(std::vector<codec::PutRequest> puts, int startTimeoutMs) {
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
        report(++done, total);
    }
    const int result = m_link.request(kCodeEnableSetting);
    if (result == kRequestOk) {
        report(++done, total);
    }
    return result;
}

int Transactions::writeCurrentValues() {
    if (m_model.selectedSet() != kCurrentSet) {
        return kRequestFailed;
    }
    lock(true);
    const int result = writeCurrentSet(wholeSetPuts(m_model.working()));
    unlock();
    return result;
}

int Transactions::writeSelectedBank() {
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
    const int total = static_cast<int>(blocks.size()) + 2;
    int done = 0;
    int result = m_link.request(kCodeStartBankSetting);
    for (size_t i = 0; i < blocks.size() && result == kRequestOk; ++i) {
        report(++done, total);
        const codec::SubBlockLayout layout = codec::subBlockLayout(blocks[i]);
        RequestBlock r;
        r.code = bankPutCode(s);
        r.arg = {0, layout.start, layout.count, kRequestTimeoutMs, 0, 0};
        r.text = codec::encodeSubBlock(blocks[i], m_model.working());
        result = m_link.request(r);
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
    return result;
}

int Transactions::clearBanks(const std::vector<int>& banks) {
    if (banks.empty()) {
        return kRequestOk;
    }
    lock(true);
    int result = m_link.request(kCodeFactoryStart);
    std::vector<int> erased;
    for (int b : banks) {
        if (result != kRequestOk) {
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
    if (result != kRequestOk) {
        return result;
    }
    const int previous = m_model.selectedSet();
    lock(false);
    for (int b : erased) {
        if (selectStoredSet(b) != kRequestOk ||
            m_link.request(kCodeFirstBankSummary + b - 1) != kRequestOk) {
            result = kRequestFailed;
            break;
        }
    }
    unlock();
    // Always back to the set that was shown, also after a failed read.
    if (selectStoredSet(previous) != kRequestOk) {
        result = kRequestFailed;
    }
    m_model.checkCompatibility();
    return result;
}

int Transactions::zeroReset(int channelOrCode) {
    return m_link.request(kCodeZeroReset, channelOrCode);
}

int Transactions::teachRatio(int arg1, int arg5, int arg6) {
    return m_link.request(kCodeTeachRatio, arg1, 0, 0, kRequestTimeoutMs, arg5, arg6);
}

}  // namespace qavix
