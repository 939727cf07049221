#pragma once
// The payloads of the link protocol (docs/protocol.md): a request names unit, sequence
// digit, operation, its numbers and its text; a reply echoes the first three and carries
// either an acknowledgement with a text or an error code.

#include <optional>
#include <string>
#include <string_view>

#include "sim/Command.h"

namespace qavix::link {

constexpr int kMaxUnit = 99;       // two decimal digits on the wire
constexpr int kSequenceSpan = 10;  // one decimal digit

struct Request {
    int sequence = 0;
    sim::Command command;
};

struct Reply {
    int unit = 0;
    int sequence = 0;
    sim::Op op = sim::Op::GetStatus;
    int error = sim::kOk;
    std::string text;
};

// The header of a payload, readable even when the rest is malformed, so that a receiver
// can answer a request it cannot parse.
struct Header {
    int unit = 0;
    int sequence = 0;
    sim::Op op = sim::Op::GetStatus;
};

// Two-letter name of an operation on the wire, e.g. "GP" for GetParameter.
std::string_view opCode(sim::Op op);
std::optional<sim::Op> opFromCode(std::string_view code);
bool opCarriesText(sim::Op op);

// Bytes below 0x20, DEL and '%' travel as %XX so that no control character reaches the
// frame layer; every other byte (Shift-JIS included) goes as it is.
std::string escapeText(std::string_view text);
std::optional<std::string> unescapeText(std::string_view text);

// Empty when the request cannot be carried (unit outside 0..99).
std::string encodeRequest(const Request& request);
std::optional<Request> decodeRequest(std::string_view payload);
std::optional<Header> decodeHeader(std::string_view payload);

std::string encodeReply(const Reply& reply);
std::optional<Reply> decodeReply(std::string_view payload);

}  // namespace qavix::link
