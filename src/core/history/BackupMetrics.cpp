#include "history/BackupMetrics.h"

#include <cstdio>
#include <cstdlib>

namespace qavix::history {

namespace {

constexpr const char* kLastSuccess = "qavix_fleet_backup_last_success_timestamp_seconds";
constexpr const char* kSuccess = "qavix_fleet_backup_success";
constexpr const char* kDrift = "qavix_fleet_drift";

// Label values escape the backslash, the double quote and the line feed, as the format asks.
std::string escapeLabel(const std::string& value) {
    std::string out;
    for (const char c : value) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '"') {
            out += "\\\"";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

void family(std::string& out, const char* name, const char* help) {
    out += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " gauge\n";
}

void sample(std::string& out, const char* name, const std::string& controller,
            const std::string& value) {
    out += std::string(name) + "{controller=\"" + escapeLabel(controller) + "\"} " + value + "\n";
}

// The controller label's value at `at` (just after the opening quote), unescaped; `at` ends
// after the closing quote. Nothing when the line is not ours.
std::optional<std::string> readLabel(std::string_view line, size_t& at) {
    std::string value;
    while (at < line.size()) {
        const char c = line[at++];
        if (c == '"') {
            return value;
        }
        if (c != '\\') {
            value += c;
            continue;
        }
        if (at >= line.size()) {
            return std::nullopt;
        }
        const char escaped = line[at++];
        value += escaped == 'n' ? '\n' : escaped;
    }
    return std::nullopt;
}

}  // namespace

std::string metricsText(const std::vector<ControllerMetrics>& controllers) {
    std::string out;
    family(out, kLastSuccess, "Time of the controller's last successful backup.");
    for (const ControllerMetrics& c : controllers) {
        if (c.lastSuccess) {
            sample(out, kLastSuccess, c.name, number(*c.lastSuccess));
        }
    }
    family(out, kSuccess, "1 when the last backup run saved the controller, else 0.");
    for (const ControllerMetrics& c : controllers) {
        sample(out, kSuccess, c.name, c.success ? "1" : "0");
    }
    family(out, kDrift, "1 when the controller's settings differ from its golden file, else 0.");
    for (const ControllerMetrics& c : controllers) {
        if (c.drift) {
            sample(out, kDrift, c.name, *c.drift ? "1" : "0");
        }
    }
    return out;
}

std::map<std::string, double> lastSuccessTimes(std::string_view text) {
    std::map<std::string, double> times;
    const std::string prefix = std::string(kLastSuccess) + "{controller=\"";
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (line.substr(0, prefix.size()) != prefix) {
            continue;
        }
        size_t at = prefix.size();
        const std::optional<std::string> name = readLabel(line, at);
        if (!name || line.substr(at, 2) != "} ") {
            continue;
        }
        const std::string value(line.substr(at + 2));
        char* parsedEnd = nullptr;
        const double seconds = std::strtod(value.c_str(), &parsedEnd);
        if (parsedEnd != value.c_str() && *parsedEnd == '\0') {
            times[*name] = seconds;
        }
    }
    return times;
}

}  // namespace qavix::history
