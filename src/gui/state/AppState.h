#pragma once
// The run flags and shared view state that the windows read: busy flags, switches, the page
// title and index handed from the tree to the pages. The device data stays in DeviceModel;
// this only says what the program is doing with it.

#include <QObject>
#include <QString>
#include <string>

#include "files/AppSettings.h"
#include "model/DeviceModel.h"
#include "monitor/BeamSelection.h"

namespace qavix {

class AppState : public QObject {
    Q_OBJECT
  public:
    explicit AppState(DeviceModel& model, QObject* parent = nullptr)
        : QObject(parent), m_model(model) {}

    DeviceModel& model() { return m_model; }
    const DeviceModel& model() const { return m_model; }

    // The user's settings of Qavix.ini (interval, colours, splash, web links, button style).
    AppSettings user;
    // Tells the windows that draw with the user's settings to take them again.
    void announceUserSettings() { emit userSettingsChanged(); }

    // Start-up switches.
    bool extendedMode = false;  // "/ad"
    bool debugMode = false;     // "/db"
    // A bank file is edited offline ("--edit"): the controller is the built-in emulator
    // holding the file's settings.
    bool offlineEditing = false;

    // Whether the fields that belong to the controller and its sensors themselves (their
    // identifications, the bank function) are offered: only while the current values of a
    // controller on the line are shown. Neither a bank nor a bank file has a place for
    // them, so an edit there would be dropped on the way and still be reported as done.
    bool controllerOwnFieldsEditable() const {
        return !offlineEditing && m_model.selectedSet() == kCurrentSet;
    }

    // A read or write sequence runs: the tree is disabled and the wait lets no clicks in.
    bool commBusy() const { return m_commBusy; }
    void setCommBusy(bool on);
    // A continuous level update or the scan monitor runs.
    bool continuousMonitoring() const { return m_continuous; }
    void setContinuousMonitoring(bool on);
    // A threshold drag or beam designation waits to be written or cancelled.
    bool editInProgress = false;

    // What greys the file and bank commands.
    bool busy() const { return m_commBusy || m_continuous; }
    // What makes the tree refuse to leave the page.
    bool treeMustStay() const { return busy() || editInProgress; }

    bool dataReady = false;           // the initial read has completed
    bool settingsDialogOpen = false;  // the communication settings dialog is open
    bool commSettingsUsed = false;    // it has been used in this run
    bool splashShown = false;
    bool anyComPort = false;
    // An import or bank copy is replacing stored data (the level graph skips its refresh).
    bool dataReplaced = false;
    // The title last typed in the export dialog, offered again until the program ends.
    QString exportTitle;

    // Handed from the tree to the pages and command bars.
    QString pageTitle;
    // The same title as written (Japanese): what the change journal records of a page's write.
    std::string pageWrittenTitle;
    int currentPage = 1;
    int lastShownChannel = 0;
    // The sensor of the selected item (1..3, 0 for none), and whether the item is a chart
    // item: a sensor's graph, which opens the graph page for that sensor alone, or a bank's
    // threshold page, which shows the sensors' channel thresholds.
    int selectedChannel = 0;
    bool chartItemSelected = false;
    // The sensor whose beams a beam page edits: 0..2, or 4 for all sensors together. The
    // opening page sets it with `beamTable` before it asks for the beam page.
    int blankingChannel = 0;
    // Which flag table the beam pages edit: designated beams (SET_AXIS) or fixed-blanking
    // beams (FIX_AXIS). The core's enum, so the pages hand it to the core unchanged.
    using BeamFlagTable = qavix::BeamFlagTable;
    BeamFlagTable beamTable = BeamFlagTable::FixedBlanking;

    // A page asks for another page of the same set (a blanking button opens the blanking
    // page); the tree shows it as if the user had chosen it.
    void requestPage(int pageIndex) { emit pageRequested(pageIndex); }
    // A monitoring page tells the frame which sensor it reads now (0..2, 3 for all
    // connected sensors), for the information bar.
    void announceShownChannel(int channel) { emit shownChannelChanged(channel); }
    // A page wrote switches that decide which pages the tree offers (the measurement
    // functions, the bank function): the tree follows them at once.
    void announceSwitchesWritten() { emit switchesWritten(); }

    // Monitor settings kept with the window placement.
    int viewAxis = 128;
    int viewSample = 60;

  signals:
    void commBusyChanged(bool on);
    void busyChanged(bool on);
    void userSettingsChanged();
    void pageRequested(int pageIndex);
    void shownChannelChanged(int channel);
    void switchesWritten();

  private:
    DeviceModel& m_model;
    bool m_commBusy = false;
    bool m_continuous = false;
};

}  // namespace qavix
