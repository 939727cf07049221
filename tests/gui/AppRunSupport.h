#pragma once
// What the tests that run the whole program share: its options for a settings folder of
// their own, the ports, and the fixture that gives each test such a folder.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdlib>
#include <string>

#include "SimProcess.h"
#include "TempFolder.h"
#include "app/CQavixApp.h"

namespace qavix::test {

// The program in `folder` (where its Qavix.ini is), on the built link library, with no
// single-instance check and no waits before the initial read.
inline AppOptions appOptions(const QString& folder) {
    AppOptions o;
    o.workingDirectory = folder;
    o.libraryPath = QString(QAVIX_BIN_DIR) + "/libqavlink.so";
    o.singleInstance = false;
    o.timings.splashWaitMs = 0;
    o.timings.readDelayMs = 0;
    // The emulator answers at once, so a silent line is known long before the real time-out.
    o.commTimings.requestTimeout = std::chrono::milliseconds(400);
    return o;
}

// The Qavix.ini of `folder`: written whole, or read back ("" when missing).
inline bool writeIni(const QString& folder, const QByteArray& text) {
    QFile ini(QDir(folder).filePath("Qavix.ini"));
    return ini.open(QIODevice::WriteOnly | QIODevice::Truncate) && ini.write(text) >= 0;
}
inline QString iniText(const QString& folder) {
    return QString::fromUtf8(fileBytes(QDir(folder).filePath("Qavix.ini")));
}

// No COMn set from the environment: every port falls back to Qavix.ini or the machine.
inline void clearPorts() {
    for (int n = 1; n <= 6; ++n) {
        unsetenv(("QAVLINK_COM" + std::to_string(n)).c_str());
    }
}

// Makes COMn resolve to `device`.
inline void setPort(int n, const QString& device) {
    setenv(("QAVLINK_COM" + std::to_string(n)).c_str(), device.toUtf8().constData(), 1);
}

// The device an emulator serves, as the program's texts show it.
inline QString deviceOf(const SimProcess& sim) {
    return QString::fromStdString(sim.device());
}

// The whole program in a folder of the test's own: a Qavix.ini without the splash (and what
// a test adds to it), no COMn from the environment before or after, and the program's waits
// (splash, first read, retries, dialog and reset settling) zeroed.
class AppFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        clearPorts();
        ASSERT_TRUE(writeIni(kNoSplash));
    }
    void TearDown() override { clearPorts(); }

    QString dirPath() const { return pathOf(m_dir); }
    QString file(const QString& name) const { return QDir(dirPath()).filePath(name); }
    // Qavix.ini written whole, or read back ("" when missing).
    bool writeIni(const QByteArray& text) const { return test::writeIni(dirPath(), text); }
    QString iniText() const { return test::iniText(dirPath()); }
    AppOptions options() const {
        AppOptions o = appOptions(dirPath());
        o.commTimings.retryDelay = std::chrono::milliseconds(0);
        o.commTimings.resetSettle = std::chrono::milliseconds(0);
        o.commDialogTimings.settleMs = 0;
        return o;
    }

    static constexpr const char* kNoSplash = "[Option]\r\nSplash=0\r\n";

  private:
    TempDir m_dir;
};

// Lines in a file (the emulator's request log); -1 when it cannot be read.
inline int lineCount(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? static_cast<int>(f.readAll().count('\n')) : -1;
}

}  // namespace qavix::test
