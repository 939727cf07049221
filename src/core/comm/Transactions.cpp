#include "comm/Transactions.h"

#include <algorithm>

namespace qavix {

namespace {

constexpr int kBankFunctionCode = 149;
constexpr int kFlagBytesPerChannel = 16;

int bankReadCode(int bank) {
    return kCodeFirstBankRead + bank - 1;
}
int bankPutCode(int bank) {
    return codec::kSubChannel1 + 40 + bank;
}  // 42..45

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
    std::vector<ReadStep> steps;
    for (int c = 1; c <= kChannelCount; ++c) {
        const int one = c - 1;
        const int two = 2 * (c - 1);
        steps.push_back({58, c, 48, 16});
        for (int code : {67, 68, 71, 95, 98, 73, 74}) {
            steps.push_back({code, c, one, 1});
        }
        steps.push_back({75, c, two, 2});
        steps.push_back({76, c, one, 1});
        steps.push_back({78, c, two, 2});
        steps.push_back({83, c, two, 2});
        for (int code : {84, 85, 96, 99, 100, 101}) {
            steps.push_back({code, c, one, 1});
        }
    }
    steps.push_back({46, 0, 0, 0});
    steps.push_back({57, 0, 0, 20});
    steps.push_back({59, 4, 100, 16});
    for (int code : {62, 63, 64}) {
        steps.push_back({code, 0, 0, 0});
    }
    steps.push_back({72, 1, 0, 3});
    steps.push_back({80, 0, 0, 0});
    steps.push_back({104, 1, 0, 3});
    steps.push_back({105, 1, 0, 3});
    steps.push_back({127, 0, 0, 0});
    steps.push_back({128, 1, 0, 3});
    steps.push_back({129, 1, 0, 0});
    steps.push_back({130, 1, 0, 0});
    for (int code : {133, 134, 135, 136, 143, 144, 145, 148, 149, 106}) {
        steps.push_back({code, 0, 0, 0});
    }
    return steps;
}

std::vector<ReadStep> readAllBeamSteps(const SettingsData& set) {
    std::vector<ReadStep> steps;
    const int joint = std::clamp(set.general.jointNum, 0, kChannelCount);
    for (int c = 1; c <= joint; ++c) {
        const int beams = std::clamp(set.channel(c - 1).beamCount, 0, kMaxBeams);
        const int bytes = flagByteCount(beams);
        const int flagStart = kFlagBytesPerChannel * (c - 1);
        const int beamStart = kMaxBeams * (c - 1);
        steps.push_back({66, c, flagStart, bytes});
        steps.push_back({97, c, flagStart, bytes});
        for (int code : {102, 103, 90, 93, 91, 94, 103, 102}) {
            steps.push_back({code, c, beamStart, beams});
        }
    }
    return steps;
}

std::vector<codec::PutRequest> wholeSetPuts(SettingsData& set) {
    static constexpr int kControllerPuts[] = {3, 4, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40};
    static constexpr int kChannelPuts[] = {5,  6,  7,  28, 9,  10, 11, 12, 13, 16,
                                           17, 18, 19, 20, 21, 22, 23, 24, 25, 26};
    std::vector<codec::PutRequest> puts;
    for (int code : kControllerPuts) {
        puts.push_back(codec::encodePut(code, 0, set));
    }
    const int joint = std::clamp(set.general.jointNum, 0, kChannelCount);
    for (int c = 1; c <= joint; ++c) {
        for (int code : kChannelPuts) {
            puts.push_back(codec::encodePut(code, c, set));
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
    return m_link.request(kBankFunctionCode);
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
