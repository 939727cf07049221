#include "model/DeviceData.h"

#include <tuple>

namespace qavix {

namespace {

auto channelTie(const ChannelRecord& c) {
    return std::tie(c.modelText, c.versionText, c.verR, c.verE, c.sensorId, c.receiverSerial,
                    c.emitterSerial, c.pitchText, c.type2, c.type3, c.beamCount, c.onTh, c.offTh,
                    c.function, c.subConf, c.almConf, c.timeConf, c.countConf, c.setting77,
                    c.setting81, c.setting79, c.setAxis, c.absLevel, c.ratioLevel, c.zero,
                    c.absOnTh, c.absOffTh, c.ratioOnTh, c.ratioOffTh, c.beamState, c.axisTh, c.hys,
                    c.thCnf, c.reserved, c.onOffDiff, c.functionBit1, c.fixConf, c.fixAxis,
                    c.functionBit2, c.floConfBit4, c.floConfBit5, c.floConf);
}

auto generalTie(const GeneralBlock& g) {
    return std::tie(g.type, g.versionText, g.text3, g.words, g.text1, g.serialText, g.idText,
                    g.text59, g.words16, g.pio, g.pioInv, g.allOnOffCnf, g.word1, g.fixCnf, g.allOn,
                    g.allOff, g.paraWords, g.paraCnf, g.paraSpare, g.paraType, g.paraRes,
                    g.paraUnit, g.groupWords, g.grpCnf, g.grpUp, g.grpLow, g.table146, g.table147,
                    g.tchCnf, g.bankFunction, g.jointNum);
}

}  // namespace

bool ChannelRecord::operator==(const ChannelRecord& o) const {
    return channelTie(*this) == channelTie(o);
}

bool GeneralBlock::operator==(const GeneralBlock& o) const {
    return generalTie(*this) == generalTie(o);
}

std::string GeneralBlock::softwareVersion() const {
    return versionText.size() > 3 ? versionText.substr(3) : std::string();
}

bool WorkingSet::anyPageEdited() const {
    for (bool f : pageEdited) {
        if (f) {
            return true;
        }
    }
    return false;
}

bool ErrorHistoryEntry::hasDate() const {
    return year != 0 || month != 0 || day != 0 || hour != 0 || minute != 0 || second != 0;
}

bool ErrorHistoryEntry::isEmpty() const {
    return !hasDate() && reserved == 0 && (codeText.empty() || codeText == "00") &&
           (serialText.empty() || serialText == "00000000");
}

}  // namespace qavix
