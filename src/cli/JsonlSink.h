#pragma once
// --jsonl: the monitor's messages as JSON lines, {"topic": ..., "payload": ..., "retain": ...},
// for a quick look or a collector that reads files. Each line goes out with one write, so a
// reader never sees half of one.

#include <string>

#include "telemetry/PublishQueue.h"

namespace qavix::cli {

class JsonlSink {
  public:
    JsonlSink() = default;
    ~JsonlSink();
    JsonlSink(const JsonlSink&) = delete;
    JsonlSink& operator=(const JsonlSink&) = delete;

    // "-" is standard output; a file is appended to. False with a message when it cannot be.
    bool open(const std::string& path, std::string& error);
    bool write(const telemetry::OutMessage& message, std::string& error);

  private:
    int m_fd = -1;
    bool m_ownFd = false;
    std::string m_path;
};

// The line of one message, without its end.
std::string jsonlLine(const telemetry::OutMessage& message);

}  // namespace qavix::cli
