#pragma once
// A serial device opened for the link alone: exclusive against other processes and
// against a second open in this one, raw, non-blocking, waits bounded by poll.

#include <memory>
#include <string>

#include "PortProblem.h"
#include "PortSettings.h"
#include "Transport.h"

namespace qavix::link {

class SerialTransport : public Transport {
  public:
    // Null on failure, with the reason and the system's error text.
    static std::unique_ptr<SerialTransport> open(const std::string& path,
                                                 const PortSettings& settings,
                                                 PortProblemKind& failure, std::string& detail);
    ~SerialTransport() override;
    SerialTransport(const SerialTransport&) = delete;
    SerialTransport& operator=(const SerialTransport&) = delete;

    IoStatus write(std::string_view bytes, Clock::time_point deadline) override;
    IoStatus read(std::string& out, Clock::time_point deadline) override;
    void discardInput() override;

  private:
    explicit SerialTransport(int fd) : m_fd(fd) {}
    // Poll for events until the deadline; false on time-out, hang-up or error.
    IoStatus waitFor(short events, Clock::time_point deadline);

    int m_fd;
};

}  // namespace qavix::link
