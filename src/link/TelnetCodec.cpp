#include "TelnetCodec.h"

namespace qavix::link::telnet {

namespace {

constexpr int kBaudBytes = 4;

}  // namespace

std::string escapeData(std::string_view data) {
    std::string out;
    out.reserve(data.size() + 4);
    for (char c : data) {
        out += c;
        if (static_cast<unsigned char>(c) == kIac) {
            out += c;
        }
    }
    return out;
}

std::string negotiation(unsigned char verb, unsigned char option) {
    return {static_cast<char>(kIac), static_cast<char>(verb), static_cast<char>(option)};
}

std::string subnegotiation(unsigned char option, std::string_view body) {
    std::string out{static_cast<char>(kIac), static_cast<char>(kSb), static_cast<char>(option)};
    out += escapeData(body);
    out += static_cast<char>(kIac);
    out += static_cast<char>(kSe);
    return out;
}

std::string comPortCommand(unsigned char command, std::uint32_t value) {
    std::string body(1, static_cast<char>(command));
    if (command == kSetBaudRate || command == kSetBaudRate + kServerReply) {
        for (int shift = 8 * (kBaudBytes - 1); shift >= 0; shift -= 8) {
            body += static_cast<char>((value >> shift) & 0xFFu);
        }
    } else {
        body += static_cast<char>(value & 0xFFu);
    }
    return subnegotiation(kOptionComPort, body);
}

std::uint32_t comPortValue(std::string_view body) {
    std::uint32_t value = 0;
    for (std::size_t i = 1; i < body.size(); ++i) {
        value = (value << 8) | static_cast<unsigned char>(body[i]);
    }
    return value;
}

void Decoder::feed(std::string_view bytes, std::string& data, std::vector<Event>& events) {
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        switch (m_state) {
            case State::Data:
                if (byte == kIac) {
                    m_state = State::Iac;
                } else {
                    data += c;
                }
                break;
            case State::Iac:
                if (byte == kIac) {
                    data += c;
                    m_state = State::Data;
                } else if (byte >= kWill) {  // WILL, WONT, DO, DONT
                    m_verb = byte;
                    m_state = State::Option;
                } else if (byte == kSb) {
                    m_state = State::SubOption;
                } else {
                    m_state = State::Data;  // NOP, GA, DM and the like carry nothing for us
                }
                break;
            case State::Option:
                events.push_back({Event::Kind::Negotiation, m_verb, byte, {}});
                m_state = State::Data;
                break;
            case State::SubOption:
                m_sub = {Event::Kind::Subnegotiation, 0, byte, {}};
                m_state = State::SubData;
                break;
            case State::SubData:
                if (byte == kIac) {
                    m_state = State::SubIac;
                } else if (m_sub.body.size() < kMaxSubnegotiation) {
                    m_sub.body += c;
                }
                break;
            case State::SubIac:
                if (byte == kIac) {
                    if (m_sub.body.size() < kMaxSubnegotiation) {
                        m_sub.body += c;
                    }
                    m_state = State::SubData;
                } else {
                    // IAC SE ends it; any other command there is a broken peer's end too.
                    events.push_back(std::move(m_sub));
                    m_sub = {};
                    m_state = State::Data;
                }
                break;
        }
    }
}

bool Options::wantLocal(unsigned char option) {
    return option == kOptionBinary || option == kOptionSuppressGoAhead || option == kOptionComPort;
}

bool Options::wantRemote(unsigned char option) {
    return option == kOptionBinary || option == kOptionSuppressGoAhead;
}

std::string Options::start() {
    std::string out;
    for (unsigned char option : {kOptionBinary, kOptionComPort}) {
        m_local[option] = State::Requested;
        out += negotiation(kWill, option);
    }
    for (unsigned char option : {kOptionBinary, kOptionSuppressGoAhead}) {
        m_remote[option] = State::Requested;
        out += negotiation(kDo, option);
    }
    return out;
}

std::string Options::answer(unsigned char verb, unsigned char option) {
    const bool local = verb == kDo || verb == kDont;
    State& state = local ? m_local[option] : m_remote[option];
    const bool wanted = local ? wantLocal(option) : wantRemote(option);
    const bool enable = verb == kDo || verb == kWill;
    const unsigned char agree = local ? kWill : kDo;
    const unsigned char refuse = local ? kWont : kDont;
    if (enable) {
        if (!wanted) {
            return negotiation(refuse, option);
        }
        const State before = state;
        state = State::On;
        // A request of ours crossing the server's own is its answer, not a new question.
        return before == State::Off ? negotiation(agree, option) : std::string();
    }
    if (local && option == kOptionComPort && state != State::Off) {
        m_comPortRefused = true;
    }
    const State before = state;
    state = State::Off;
    return before == State::On ? negotiation(refuse, option) : std::string();
}

}  // namespace qavix::link::telnet
