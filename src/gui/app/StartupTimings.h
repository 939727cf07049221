#pragma once
// The waits of start-up in one place, so tests can shrink them to nothing.

namespace qavix {

struct StartupTimings {
    int splashWaitMs = 2600;  // the initial read waits so the splash stays visible
    int readDelayMs = 1000;   // the initial read dialog shows before the read starts
    int blinkMs = 300;        // the wait texts blink
};

}  // namespace qavix
