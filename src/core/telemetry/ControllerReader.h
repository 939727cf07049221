#pragma once
// The monitor's side of the line: opens the port, reads the controller's status and the
// areas it asks for, and says how the line fared. It calls only the library's read entries
// (open, close, status, parameter, text and control data reads): the monitor never writes to a
// controller, and a controller in setting, factory or error state is reported as found, never
// reset.
//
// Unlike the program's worker it has no thread and no supervision of its own: the monitor
// runs it from one thread, one cycle at a time, and decides itself what a failure means.

#include <optional>
#include <string>
#include <vector>

#include "comm/CommTimings.h"
#include "comm/LinkApi.h"
#include "comm/LinkSettings.h"
#include "comm/StatusReply.h"
#include "model/ControllerError.h"
#include "model/DeviceModel.h"
#include "model/PageRequests.h"
#include "telemetry/MonitorPayloads.h"

namespace qavix::telemetry {

struct LineResult {
    LineState line = LineState::Ok;
    std::string problem;    // why the line is not ok, in the operator's words
    std::string readError;  // the line is fine but a reply was refused or malformed

    bool ok() const { return line == LineState::Ok && readError.empty(); }
};

struct ControllerStatus {
    StatusReply reply;
    std::optional<ControllerError> error;  // state 2: the error the controller reports
};

class ControllerReader {
  public:
    ControllerReader(const LinkApi& api, const LinkSettings& settings,
                     const CommTimings& timings = CommTimings{});
    ~ControllerReader();
    ControllerReader(const ControllerReader&) = delete;
    ControllerReader& operator=(const ControllerReader&) = delete;

    bool isOpen() const { return m_open; }
    LineResult open();
    void close();

    // The status reply and, in error state, the error block.
    LineResult readStatus(ControllerStatus& out);
    // Reads and decodes into `model`; stops at the first failure.
    LineResult read(const std::vector<PageRead>& reads, DeviceModel& model);

    // "COM1".
    std::string portName() const;

  private:
    // One call of the read entry the request's code belongs to.
    int call(const PageRead& r, char* buffer, int timeout) const;
    LineResult failure(int code) const;
    std::string lastErrorCode() const;
    void pause() const;

    LinkApi m_api;
    LinkSettings m_settings;
    CommTimings m_timings;
    bool m_open = false;
};

}  // namespace qavix::telemetry
