#include "monitor/BeamPage.h"

#include "comm/PageWrite.h"
#include "model/PageEditState.h"

namespace qavix {

namespace {

// The opening pages name the sensor 0..2, or this for all connected sensors together.
constexpr int kOpenedForAllSensors = 4;

int channelOfOpening(int blankingChannel) {
    if (blankingChannel == kOpenedForAllSensors) {
        return beams::kAllSensors;
    }
    return beams::pageChannel(blankingChannel);
}

}  // namespace

BeamPage::BeamPage(const QString& className, const PageContext& context, int pageIndex,
                   int editedFlag, QWidget* parent)
    : PageBase(className, context, parent), m_pageIndex(pageIndex), m_editedFlag(editedFlag) {}

void BeamPage::pageShown(const QString& /*title*/) {
    clearReload();
    m_table = state().beamTable;
    openWait(false);
    // The sensors' beam counts are known from the initial read; the table and the levels
    // are read fresh because the controller may have changed since.
    const bool ok = runReads(openingReads());
    closeWait();
    setRange(channelOfOpening(state().blankingChannel));
    m_picks.load(working(), m_table);
    markClean();
    rebuild();
    redraw();
    (void)ok;  // a failed read was reported; the page shows what the working set holds
    emit opened();
}

std::vector<PageRead> BeamPage::openingReads() const {
    std::vector<PageRead> reads = beams::tableReads(working(), m_table);
    const levels::GraphChoice all{levels::kAllChannels, false};
    for (const PageRead& r : levels::thresholdReads(working())) {
        reads.push_back(r);
    }
    for (levels::Operation op :
         {levels::Operation::LevelsRatio, levels::Operation::LevelsAbsolute}) {
        for (const PageRead& r : levels::operationReads(op, working(), all)) {
            reads.push_back(r);
        }
    }
    return reads;
}

void BeamPage::setRange(int channel) {
    m_range = beams::BeamRange(working(), channel);
}

bool BeamPage::readDisplay() {
    const levels::GraphChoice choice{m_range.channel(), false};
    std::vector<PageRead> reads = levels::operationReads(
        m_ratio ? levels::Operation::RatioDisplay : levels::Operation::AbsoluteDisplay, working(),
        choice);
    return runReads(reads);
}

bool BeamPage::update(int channel) {
    const int wanted = beams::pageChannel(channel);
    const bool ok = readDisplay();
    if (wanted != m_range.channel() ||
        beams::BeamRange(working(), wanted).size() != m_range.size()) {
        setRange(wanted);
        rebuild();
        // The new row's levels were not part of the read above.
        readDisplay();
    }
    redraw();
    return ok;
}

void BeamPage::designate(beams::Designation what) {
    m_picks.designate(working(), m_range, what, m_ratio);
    markEdited();
    redraw();
}

void BeamPage::clearPicks() {
    m_picks.clear(m_range);
    markEdited();
    redraw();
}

bool BeamPage::write() {
    const std::vector<codec::PutRequest> puts =
        beams::writePuts(working(), m_table, m_picks, m_range);
    setCommBusy(true);
    openWait(true);
    const bool ok = writePage(link(), state().model(), puts, kRequestTimeoutMs,
                              {journal::Operation::PageWrite, state().pageWrittenTitle})
                        .ok;
    if (ok) {
        // What the controller now holds, and the levels beside it.
        runReads(beams::tableReads(working(), m_table));
        readDisplay();
        m_picks.load(working(), m_table);
        markClean();
    }
    closeWait();
    setCommBusy(false);
    redraw();
    emit written(ok);
    return ok;
}

void BeamPage::revert() {
    m_picks.load(working(), m_table);
    markClean();
    redraw();
}

void BeamPage::markEdited() {
    m_edited = true;
    state().editInProgress = true;
    setPageEdited(working(), m_editedFlag, true);
    emit picksEdited();
}

void BeamPage::markClean() {
    m_edited = false;
    state().editInProgress = false;
    setPageEdited(working(), m_editedFlag, false);
}

}  // namespace qavix
