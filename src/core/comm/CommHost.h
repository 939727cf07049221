#pragma once
// What the connection needs from whoever runs it: the desktop program shows dialogs on its
// UI thread while the worker waits; the command-line client answers from its options;
// tests script the answers. Everything except pumpEvents is called on the worker thread
// and must block until answered.

#include <functional>
#include <string>

namespace qavix {

enum class Question {
    CommSetup,         // no answer from the controller: open the communication settings?
    ResetSettingMode,  // controller in setting mode: reset it?
    ResetFactoryMode,  // controller in factory mode: reset it?
};

class CommHost {
  public:
    virtual ~CommHost() = default;

    virtual void showMessage(const std::string& text) = 0;
    // The message of a lost connection, after which the program ends (recovery files are
    // saved by then). A host may offer to start the program again from it.
    virtual void showLostMessage(const std::string& text) { showMessage(text); }
    // OK is true, Cancel false.
    virtual bool ask(Question question, const std::string& text) = 0;
    // Runs the communication settings dialog; the worker's polling is held meanwhile.
    virtual void runCommSettings() = 0;
    // The program must end: the user has seen why. Called once.
    virtual void endProgram() = 0;

    // Runs `fn` on the thread that owns the device data and returns when it has run.
    virtual void runOnUiThread(const std::function<void()>& fn) { fn(); }
    // Called on the requesting thread between slices of its wait for the worker.
    virtual void pumpEvents(bool /*busy*/) {}
    // Asked on the requesting thread before each request, and by the worker between the
    // attempts of an open: true when the user has cancelled the whole operation (Ctrl+C of
    // the command-line client). The request in progress finishes; no further one reaches the
    // controller except those that clean up after it.
    virtual bool cancelRequested() const { return false; }
    // One exchange as the link library framed it, for the trace view.
    virtual void recordTrace(const std::string& /*sent*/, const std::string& /*received*/) {}
    // The question sound some messages come after; called on the UI thread.
    virtual void beep() {}
};

}  // namespace qavix
