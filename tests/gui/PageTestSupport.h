#pragma once
// Helpers for the setting page tests: a host that records message boxes instead of showing
// them, and a right pane with the tree whose built pages get a context that counts the
// wait windows.

#include <gtest/gtest.h>

#include <QFile>
#include <QTest>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "RequestLog.h"
#include "TempFolder.h"
#include "frame/CLeftPaneView.h"
#include "frame/CRightPaneFrame.h"
#include "frame/PageViews.h"
#include "pages/CCommandDlg.h"
#include "pages/PageContext.h"
#include "pages/PageRegistry.h"

namespace qavix::test {

// Messages recorded and questions answered with Cancel at once.
class RecordingHost : public CommHost {
  public:
    void showMessage(const std::string& text) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_messages.push_back(text);
    }
    // Cancel, so a connection that cannot be made fails instead of asking again.
    bool ask(Question, const std::string& text) override {
        showMessage(text);
        return false;
    }
    void runCommSettings() override {}
    void endProgram() override {}
    void beep() override { ++m_beeps; }
    std::vector<std::string> messages() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages;
    }
    int beeps() const { return m_beeps; }

  private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_messages;
    int m_beeps = 0;
};

// What the frame's hooks were asked to do.
struct FrameHookLog {
    std::vector<std::string> waits;  // "read", "write", "close" in order
    std::vector<bool> busyAtWait;    // the communication-busy flag as each wait window opened
    std::vector<bool> commandsAllowed;
    int interval = 200;
    // The PC's clock the pages see; empty: the real one.
    std::function<std::chrono::system_clock::time_point()> now;
};

inline PageContext pageContext(AppState& state, CCommLink& link, CommHost& host,
                               FrameHookLog& log) {
    return PageContext{
        state,
        link,
        host,
        std::make_shared<PageRegistry>(),
        [&log, &state](bool writing) {
            log.waits.push_back(writing ? "write" : "read");
            log.busyAtWait.push_back(state.commBusy());
        },
        [&log] { log.waits.push_back("close"); },
        [&log](bool on) { log.commandsAllowed.push_back(on); },
        [&log] { return log.interval; },
        [&log] { return log.now ? log.now() : std::chrono::system_clock::now(); },
        nullptr,
    };
}

// A connection to the built-in emulator, started with `simOptions`, with short waits.
inline std::unique_ptr<CCommLink> emulatorLink(CommHost& host, DeviceModel& model,
                                               const std::string& simOptions) {
    setenv("QAVLINK_COM1", ("sim:" + simOptions).c_str(), 1);
    CommTimings t;
    t.resetSettle = std::chrono::milliseconds(0);
    t.retryDelay = std::chrono::milliseconds(1);
    t.pollPeriod = std::chrono::milliseconds(60000);
    t.requestTimeout = std::chrono::milliseconds(250);
    auto link = std::make_unique<CCommLink>(host, model, t);
    if (!link->start(std::string(QAVIX_BIN_DIR) + "/libqavlink.so")) {
        ADD_FAILURE() << link->libraryError();
        return link;
    }
    LinkSettings settings;
    settings.blocks[0] = {9600, 7, 2, 2, 0, 0};
    link->setSettings(settings);
    link->setConnecting(true);
    EXPECT_EQ(link->open(), kRequestOk);
    link->setConnecting(false);
    EXPECT_EQ(link->checkStatus(), kRequestOk);
    return link;
}

// The tree and the right pane with the built pages, over `link`.
struct PagePane {
    PagePane(AppState& s, CCommLink& link, CBankManager& banks, CommHost& host)
        : state(s), context(pageContext(s, link, host, log)) {
        context.closeBeamPage = [this](int pageIndex) { tree->closeBeamPage(pageIndex); };
        right = std::make_unique<CRightPaneFrame>(
            [this] { return nav::shapeOf(state.model(), state.extendedMode); },
            [this] { return state.pageTitle; });
        installPageViews(*right->splitterView(), context);
        tree = std::make_unique<CLeftPaneView>(state, banks, *right);
        tree->buildTree();
        right->resize(800, 500);
        right->show();
    }

    void select(nav::ItemKind kind, int set = 0, int channel = 0) {
        QTreeWidgetItem* item = tree->findItem(kind, set, channel);
        ASSERT_NE(item, nullptr);
        tree->tree()->setCurrentItem(item);
        settle();
    }
    void selectSet(int set) {
        tree->tree()->setCurrentItem(tree->rootItem(set));
        settle();
    }
    CCommandDlg* bar() const {
        return static_cast<CCommandDlg*>(right->splitterView()->view(nav::kViewCommandDlg));
    }
    template <typename T>
    T* page(int viewNumber) const {
        return static_cast<T*>(right->splitterView()->view(viewNumber));
    }

    AppState& state;
    FrameHookLog log;
    PageContext context;
    std::unique_ptr<CRightPaneFrame> right;
    std::unique_ptr<CLeftPaneView> tree;
};

// A page shown in its pane over the built-in emulator: the link, the transactions, the bank
// manager and the pane, connected by connect() (or openLink() and, after what the test reads
// first, makePane()) and torn down in reverse order; a folder for the test's files. `Host`
// is the program's side of a request's wait.
template <typename Host>
struct EmulatorPageFixtureWith : ::testing::Test {
    void openLink(const std::string& simOptions) {
        link = emulatorLink(host, model, simOptions);
        transactions = std::make_unique<Transactions>(*link, model);
    }
    void makePane() {
        banks = std::make_unique<CBankManager>(model, *transactions);
        pane = std::make_unique<PagePane>(state, *link, *banks, host);
    }
    void connect(const std::string& simOptions) {
        openLink(simOptions);
        makePane();
    }
    // connect() after the initial read (and the banks' summaries), as the program starts.
    void connectRead(const std::string& simOptions, bool readBanks = true) {
        openLink(simOptions);
        ASSERT_EQ(transactions->readAll(), kRequestOk);
        if (readBanks) {
            ASSERT_EQ(transactions->readBanks(), kRequestOk);
        }
        makePane();
    }
    // The emulator option for a scenario file whose [current] section holds `lines`.
    std::string scenarioOption(const std::string& lines) const {
        const QString path = filePathOf(dir, "scenario.txt");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("[current]\n" + lines).c_str());
        return " --scenario " + path.toStdString();
    }
    // The emulator option for its request log, read back by writeAndLog().
    std::string logOption() {
        log = filePathOf(dir, "requests.log").toStdString();
        return " --log " + log;
    }
    std::vector<std::string> writeAndLog() {
        QFile::resize(QString::fromStdString(log), 0);
        QTest::mouseClick(pane->bar()->writeButton(), Qt::LeftButton);
        return loggedSettingRequests(log);
    }
    // What the controller holds now in sensor `s`'s per-beam threshold table (read into the
    // working set).
    int32_t controllerAxisTh(int s, int beam) {
        EXPECT_EQ(link->request(103, s + 1, 128 * s, model.working().channel(s).beamCount, 1500),
                  kRequestOk);
        return model.working().channel(s).axisTh[static_cast<size_t>(beam)];
    }
    bool writeOn() const { return pane->bar()->writeButton()->isEnabled(); }
    bool cancelOn() const { return pane->bar()->cancelButton()->isEnabled(); }
    void TearDown() override {
        pane.reset();
        link.reset();
        unsetenv("QAVLINK_COM1");
    }

    const TempDir dir;
    DeviceModel model;
    Host host;
    std::unique_ptr<CCommLink> link;
    std::unique_ptr<Transactions> transactions;
    std::unique_ptr<CBankManager> banks;
    AppState state{model};
    std::unique_ptr<PagePane> pane;
    std::string log;
};

using EmulatorPageFixture = EmulatorPageFixtureWith<RecordingHost>;

}  // namespace qavix::test
