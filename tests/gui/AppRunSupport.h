#pragma once
// What the tests that run the whole program share: its options for a settings folder of
// their own, the ports, and qavix-sim on a pseudo-terminal for the whole serial path.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdlib>
#include <string>

#include "app/CQavixApp.h"

namespace qavix::test {

class SimProcess {
  public:
    explicit SimProcess(const QStringList& args) {
        m_process.setProgram(QString(QAVIX_BIN_DIR) + "/qavix-sim");
        m_process.setArguments(args);
        m_process.start();
        if (m_process.waitForStarted(5000) && m_process.waitForReadyRead(5000)) {
            m_device = QString::fromUtf8(m_process.readLine()).trimmed();
        }
    }
    ~SimProcess() { stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Ends the emulator the polite way: its input closes.
    void stop() {
        if (m_process.state() == QProcess::NotRunning) {
            return;
        }
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(2000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }
    // Pulls the cable: the emulator and its terminal go at once.
    void kill() {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
    // The pseudo-terminal the emulator serves; empty when it did not start.
    const QString& device() const { return m_device; }

  private:
    QProcess m_process;
    QString m_device;
};

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
inline bool writeIni(const QString& folder, const char* text) {
    QFile ini(QDir(folder).filePath("Qavix.ini"));
    return ini.open(QIODevice::WriteOnly | QIODevice::Truncate) && ini.write(text) >= 0;
}
inline QString iniText(const QString& folder) {
    QFile ini(QDir(folder).filePath("Qavix.ini"));
    return ini.open(QIODevice::ReadOnly) ? QString::fromUtf8(ini.readAll()) : QString();
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

// Lines in a file (the emulator's request log); -1 when it cannot be read.
inline int lineCount(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? static_cast<int>(f.readAll().count('\n')) : -1;
}

}  // namespace qavix::test
