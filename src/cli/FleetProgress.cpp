#include "FleetProgress.h"
#include "Translate.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <iostream>

namespace qavix::cli {

namespace {

constexpr size_t kDefaultWidth = 80;

size_t terminalWidth() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return kDefaultWidth;
}

// Cut to `columns` characters, counting UTF-8 lead bytes (a wide character may still take
// two columns, so a line may fall short of the width but not run past it by much).
std::string cut(const std::string& text, size_t columns) {
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++characters > columns) {
            return text.substr(0, i);
        }
    }
    return text;
}

}  // namespace

FleetProgress::FleetProgress(size_t total, ProgressOptions options)
    : m_total(total), m_options(options), m_terminal(!options.quiet && ::isatty(STDERR_FILENO)) {}

void FleetProgress::started(const std::string& name) {
    std::lock_guard lock(m_mutex);
    m_inFlight.push_back(name);
    drawLocked();
}

void FleetProgress::finished(const std::string& name, const std::string& text, bool failure) {
    std::lock_guard lock(m_mutex);
    const auto it = std::find(m_inFlight.begin(), m_inFlight.end(), name);
    if (it != m_inFlight.end()) {
        m_inFlight.erase(it);
    }
    ++m_done;
    clearLocked();
    if (m_options.quiet) {
        if (failure) {
            std::cerr << text << '\n' << std::flush;
        }
    } else if (m_options.controllerLines) {
        std::cout << text << '\n' << std::flush;
    }
    drawLocked();
}

void FleetProgress::note(const std::string& text) {
    std::lock_guard lock(m_mutex);
    clearLocked();
    std::cerr << text << '\n' << std::flush;
    drawLocked();
}

void FleetProgress::close() {
    std::lock_guard lock(m_mutex);
    clearLocked();
}

void FleetProgress::drawLocked() {
    if (!m_terminal) {
        return;
    }
    std::string line = "[" + std::to_string(m_done) + "/" + std::to_string(m_total) + "]";
    if (!m_inFlight.empty()) {
        line += QX_(" 読込み中:");
        for (const std::string& name : m_inFlight) {
            line += " " + name;
        }
    }
    std::cerr << '\r' << cut(line, terminalWidth() - 1) << "\x1b[K" << std::flush;
    m_drawn = true;
}

void FleetProgress::clearLocked() {
    if (m_drawn) {
        std::cerr << "\r\x1b[K" << std::flush;
        m_drawn = false;
    }
}

}  // namespace qavix::cli
