#pragma once
// A controller on a clock the test moves, and short ways to send it commands.

#include <chrono>
#include <ctime>
#include <string>

#include "sim/Controller.h"

namespace qavix::sim::test {

// 2024-03-15 10:00:00 local time.
inline TimePoint fixedTime() {
    std::tm tm{};
    tm.tm_year = 124;
    tm.tm_mon = 2;
    tm.tm_mday = 15;
    tm.tm_hour = 10;
    tm.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}

inline Options threeSensors() {
    Options o;
    o.beams = {40, 32, 20};
    return o;
}

class Sim {
  public:
    explicit Sim(const Options& options = threeSensors(), const Scenario& scenario = {})
        : now(fixedTime()), controller(options, scenario, [this] { return now; }) {}
    Sim(const Sim&) = delete;
    Sim& operator=(const Sim&) = delete;

    Response run(Op op, int id = 0, int start = 0, int count = 0, const std::string& text = {},
                 int arg3 = 0) {
        Command c;
        c.op = op;
        c.unit = controller.unit();
        c.id = id;
        c.start = start;
        c.count = count;
        c.arg3 = arg3;
        c.text = text;
        return controller.execute(c);
    }
    Response get(int id, int start = 0, int count = 0) {
        return run(Op::GetParameter, id, start, count);
    }
    // The reply text, or a marker that fails any comparison with a real reply.
    std::string text(int id, int start = 0, int count = 0) {
        const Response r = get(id, start, count);
        return r.ok() ? r.text : "<error " + std::to_string(r.error) + ">";
    }
    Response put(int id, int start, int count, const std::string& text) {
        return run(Op::PutParameter, id, start, count, text);
    }
    int op(Op op, int start = 0, int count = 0, int arg3 = 0) {
        return run(op, 0, start, count, {}, arg3).error;
    }
    int state() { return std::stoi(run(Op::GetStatus).text.substr(0, 2)); }
    // Start setting, put, enable and reset: a whole write of the current set.
    int write(int id, int start, int count, const std::string& text) {
        op(Op::StartSetting);
        const int rc = put(id, start, count, text).error;
        op(Op::EnableSetting);
        op(Op::Reset);
        return rc;
    }

    TimePoint now;
    Controller controller;
};

inline int hexAt(const std::string& text, size_t byteIndex, size_t digits = 2) {
    return std::stoi(text.substr(byteIndex * digits, digits), nullptr, 16);
}

}  // namespace qavix::sim::test
