// One QApplication for every GUI test, on the offscreen platform unless told otherwise.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "TempDir.h"
#include "app/CQavixApp.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The program's writes are recorded in the change journal of the state folder: the
    // tests' go into a folder of this run, removed with it.
    const qavix::test::TempDir state;
    setenv("XDG_STATE_HOME", state.path().c_str(), 1);
    // Without a runtime folder Qt makes one of its own in /tmp and leaves it there; the
    // build's test listing runs this program with none.
    const qavix::test::TempDir runtime;
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    qavix::CQavixApp::initResources();
    return RUN_ALL_TESTS();
}
