#pragma once
// A fixture for the pages below "計測処理" and the P-I/O page: the built-in emulator started
// with a scenario of settings, the initial read done so the tree offers the pages, and the
// ways a test reads back what the controller holds.

#include "PageTestSupport.h"
#include "comm/Transactions.h"
#include "frame/PageTable.h"
#include "model/PageRequests.h"
#include "pages/FieldColours.h"

namespace qavix::test {

struct MeasurementPageFixture : EmulatorPageFixture {
    // `lines` are the [current] section's; `options` further emulator options.
    void start(const std::string& lines, const std::string& options = "--sensors 40,32") {
        connectRead(options + scenarioOption(lines));
    }

    // Reads a block again from the controller into a fresh model, so the answer cannot come
    // from what the page left in the working set.
    GeneralBlock controllerHolds(const std::vector<PageRead>& reads) {
        SettingsData fresh;
        std::swap(fresh, static_cast<SettingsData&>(model.working()));
        for (const PageRead& r : reads) {
            EXPECT_EQ(link->request(r.code, r.arg1, r.start, r.count), kRequestOk) << r.code;
        }
        std::swap(fresh, static_cast<SettingsData&>(model.working()));
        return fresh.general;
    }

    void clickWrite() { QTest::mouseClick(pane->bar()->writeButton(), Qt::LeftButton); }
    void clickCancel() { QTest::mouseClick(pane->bar()->cancelButton(), Qt::LeftButton); }
};

}  // namespace qavix::test
