#pragma once
// The Telnet layer of an RFC 2217 port: data bytes with 0xFF doubled, option negotiation
// and the COM-PORT-OPTION subnegotiations that set the remote serial line. The decoder
// keeps its state between calls, so a command split across two reads is still one command.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qavix::link::telnet {

constexpr unsigned char kIac = 255;
constexpr unsigned char kDont = 254;
constexpr unsigned char kDo = 253;
constexpr unsigned char kWont = 252;
constexpr unsigned char kWill = 251;
constexpr unsigned char kSb = 250;
constexpr unsigned char kSe = 240;

constexpr unsigned char kOptionBinary = 0;
constexpr unsigned char kOptionEcho = 1;
constexpr unsigned char kOptionSuppressGoAhead = 3;
constexpr unsigned char kOptionComPort = 44;

// COM-PORT-OPTION commands from the client; the server answers a command with the same
// number plus kServerReply and the value it set.
constexpr unsigned char kSetBaudRate = 1;
constexpr unsigned char kSetDataSize = 2;
constexpr unsigned char kSetParity = 3;
constexpr unsigned char kSetStopSize = 4;
constexpr unsigned char kSetControl = 5;
constexpr unsigned char kServerReply = 100;

constexpr unsigned char kParityNone = 1;
constexpr unsigned char kParityOdd = 2;
constexpr unsigned char kParityEven = 3;
constexpr unsigned char kStopOne = 1;
constexpr unsigned char kStopTwo = 2;
constexpr unsigned char kControlNoFlowControl = 1;

// A subnegotiation longer than this is no COM-PORT-OPTION answer; the rest is dropped.
constexpr std::size_t kMaxSubnegotiation = 64;

struct Event {
    enum class Kind { Negotiation, Subnegotiation };
    Kind kind = Kind::Negotiation;
    unsigned char verb = 0;  // kWill, kWont, kDo or kDont for a negotiation
    unsigned char option = 0;
    std::string body;  // of a subnegotiation, unescaped, without option and IAC SE
};

// Data for the line: every 0xFF doubled.
std::string escapeData(std::string_view data);

std::string negotiation(unsigned char verb, unsigned char option);
// IAC SB option body IAC SE, with 0xFF in the body doubled.
std::string subnegotiation(unsigned char option, std::string_view body);
// A COM-PORT-OPTION command with a one-byte or (baud rate) four-byte value.
std::string comPortCommand(unsigned char command, std::uint32_t value);
// The value of a four-byte (baud rate) or one-byte answer body after its command byte.
std::uint32_t comPortValue(std::string_view body);

class Decoder {
  public:
    // Appends the data bytes of `bytes` to data and the commands to events.
    void feed(std::string_view bytes, std::string& data, std::vector<Event>& events);

  private:
    enum class State { Data, Iac, Option, SubOption, SubData, SubIac };

    State m_state = State::Data;
    unsigned char m_verb = 0;
    Event m_sub;
};

// Which options are on, each side answering a request only when it changes something, so
// two parties that both refuse never talk in circles (RFC 854, RFC 1143). We offer BINARY
// and COM-PORT-OPTION and ask the server for BINARY and SUPPRESS-GO-AHEAD; everything else
// (the ECHO a device server offers) is refused.
class Options {
  public:
    // The requests that open the session.
    std::string start();
    // The answer to one negotiation from the server (often nothing).
    std::string answer(unsigned char verb, unsigned char option);

    bool comPortAgreed() const { return m_local[kOptionComPort] == State::On; }
    bool comPortRefused() const { return m_comPortRefused; }

  private:
    enum class State : unsigned char { Off, Requested, On };
    static bool wantLocal(unsigned char option);
    static bool wantRemote(unsigned char option);

    State m_local[256] = {};   // options we do (WILL)
    State m_remote[256] = {};  // options the server does (DO)
    bool m_comPortRefused = false;
};

}  // namespace qavix::link::telnet
