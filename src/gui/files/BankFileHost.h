#pragma once
// What the bank import and export dialogs need from the program: the device data and run
// flags, its questions and messages, and the import and export themselves. The bank
// manager of the frame provides it; the dialogs know nothing else of the frame.

#include <QString>

class QWidget;

namespace qavix {

class AppState;
class DeviceModel;

class BankFileHost {
  public:
    virtual ~BankFileHost() = default;

    virtual DeviceModel& model() = 0;
    // The run flags (data ready, the remembered export title); null in some tests.
    virtual AppState* appState() const = 0;
    // The folder the file dialogs start in.
    virtual const QString& startDirectory() const = 0;

    // An OK/Cancel question; true for OK.
    virtual bool ask(const QString& text) const = 0;
    virtual void inform(const QString& text, const QString& caption = "Qavix") const = 0;

    // Before the import replaces stored data: true to go on, false when the user keeps the
    // shown bank's edits.
    virtual bool mayLeaveSelectedSet() = 0;
    // The working set's latest values put back into the stored set it shows.
    virtual void storeWorkingSet() = 0;

    // The file checked into the spare set, then copied into `target`. False after a message;
    // nothing was replaced.
    virtual bool importInto(const QString& path, int target) = 0;
    // False when cancelled or failed.
    virtual bool exportTo(int source, const QString& title, QWidget* dialog) = 0;

  protected:
    BankFileHost() = default;
    BankFileHost(const BankFileHost&) = default;
    BankFileHost& operator=(const BankFileHost&) = default;
};

}  // namespace qavix
