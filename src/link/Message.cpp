#include "Message.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <vector>

namespace qavix::link {

namespace {

using sim::Op;

struct OpInfo {
    Op op;
    std::string_view code;
    int numbers;  // numeric fields after the header
    bool byId;    // the first number is the identifier, else the first operation argument
    bool text;
};

constexpr std::array<OpInfo, 15> kOps = {{
    {Op::GetStatus, "ST", 0, false, false},
    {Op::GetControl, "GC", 1, true, false},
    {Op::PutControl, "PC", 1, true, true},
    {Op::GetString, "GS", 3, true, false},
    {Op::PutString, "PS", 3, true, true},
    {Op::GetParameter, "GP", 3, true, false},
    {Op::PutParameter, "PP", 3, true, true},
    {Op::StartSetting, "SS", 0, false, false},
    {Op::EnableSetting, "ES", 0, false, false},
    {Op::Reset, "RS", 0, false, false},
    {Op::ClearBank, "CB", 1, false, false},
    {Op::ZeroReset, "ZR", 1, false, false},
    {Op::TeachRatio, "TR", 3, false, false},
    {Op::FactStart, "FS", 0, false, false},
    {Op::FactEnd, "FE", 0, false, false},
}};

constexpr std::size_t kHeaderLength = 5;  // unit (2), sequence (1), operation (2)
constexpr char kNumberMark = ',';
constexpr char kTextMark = ':';
constexpr char kAckMark = 'A';
constexpr char kErrorMark = 'E';
constexpr char kEscape = '%';
constexpr int kMaxErrorCode = 99;

const OpInfo& infoOf(Op op) {
    for (const OpInfo& info : kOps) {
        if (info.op == op) {
            return info;
        }
    }
    return kOps[0];
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::string headerText(int unit, int sequence, Op op) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02d%d", unit, sequence);
    std::string text(buffer);
    text += opCode(op);
    return text;
}

// Reads ",n" fields until the text mark or the end.
std::optional<std::vector<int>> parseNumbers(std::string_view& rest) {
    std::vector<int> numbers;
    while (!rest.empty() && rest.front() == kNumberMark) {
        rest.remove_prefix(1);
        int value = 0;
        const char* first = rest.data();
        const char* last = rest.data() + rest.size();
        auto [end, ec] = std::from_chars(first, last, value);
        if (ec != std::errc() || end == first) {
            return std::nullopt;
        }
        rest.remove_prefix(static_cast<std::size_t>(end - first));
        numbers.push_back(value);
    }
    return numbers;
}

}  // namespace

std::string_view opCode(Op op) {
    return infoOf(op).code;
}

std::optional<Op> opFromCode(std::string_view code) {
    for (const OpInfo& info : kOps) {
        if (info.code == code) {
            return info.op;
        }
    }
    return std::nullopt;
}

bool opCarriesText(Op op) {
    return infoOf(op).text;
}

std::string escapeText(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == kEscape) {
            out += kEscape;
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> unescapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != kEscape) {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        const int high = hexValue(text[i + 1]);
        const int low = hexValue(text[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::optional<Header> decodeHeader(std::string_view payload) {
    if (payload.size() < kHeaderLength || !isDigit(payload[0]) || !isDigit(payload[1]) ||
        !isDigit(payload[2])) {
        return std::nullopt;
    }
    const auto op = opFromCode(payload.substr(3, 2));
    if (!op) {
        return std::nullopt;
    }
    Header header;
    header.unit = (payload[0] - '0') * 10 + (payload[1] - '0');
    header.sequence = payload[2] - '0';
    header.op = *op;
    return header;
}

std::string encodeRequest(const Request& request) {
    const sim::Command& command = request.command;
    if (command.unit < 0 || command.unit > kMaxUnit || request.sequence < 0 ||
        request.sequence >= kSequenceSpan) {
        return {};
    }
    const OpInfo& info = infoOf(command.op);
    std::string payload = headerText(command.unit, request.sequence, command.op);
    const int values[] = {command.id, command.start, command.count, command.arg3};
    const int firstField = info.byId ? 0 : 1;
    for (int i = 0; i < info.numbers; ++i) {
        payload += kNumberMark;
        payload += std::to_string(values[firstField + i]);
    }
    if (info.text) {
        payload += kTextMark;
        payload += escapeText(command.text);
    }
    return payload;
}

std::optional<Request> decodeRequest(std::string_view payload) {
    const auto header = decodeHeader(payload);
    if (!header) {
        return std::nullopt;
    }
    std::string_view rest = payload.substr(kHeaderLength);
    const auto numbers = parseNumbers(rest);
    const OpInfo& info = infoOf(header->op);
    if (!numbers || static_cast<int>(numbers->size()) != info.numbers) {
        return std::nullopt;
    }
    Request request;
    request.sequence = header->sequence;
    sim::Command& command = request.command;
    command.op = header->op;
    command.unit = header->unit;
    int* fields[] = {&command.id, &command.start, &command.count, &command.arg3};
    const int firstField = info.byId ? 0 : 1;
    for (int i = 0; i < info.numbers; ++i) {
        *fields[firstField + i] = (*numbers)[static_cast<std::size_t>(i)];
    }
    if (info.text) {
        if (rest.empty() || rest.front() != kTextMark) {
            return std::nullopt;
        }
        auto text = unescapeText(rest.substr(1));
        if (!text) {
            return std::nullopt;
        }
        command.text = std::move(*text);
    } else if (!rest.empty()) {
        return std::nullopt;
    }
    return request;
}

std::string encodeReply(const Reply& reply) {
    if (reply.unit < 0 || reply.unit > kMaxUnit || reply.sequence < 0 ||
        reply.sequence >= kSequenceSpan) {
        return {};
    }
    std::string payload = headerText(reply.unit, reply.sequence, reply.op);
    if (reply.error != sim::kOk) {
        const int code =
            reply.error < 0 || reply.error > kMaxErrorCode ? kMaxErrorCode : reply.error;
        char buffer[4];
        std::snprintf(buffer, sizeof buffer, "%02d", code);
        payload += kErrorMark;
        payload += buffer;
        return payload;
    }
    payload += kAckMark;
    if (!reply.text.empty()) {
        payload += kTextMark;
        payload += escapeText(reply.text);
    }
    return payload;
}

std::optional<Reply> decodeReply(std::string_view payload) {
    const auto header = decodeHeader(payload);
    if (!header || payload.size() < kHeaderLength + 1) {
        return std::nullopt;
    }
    Reply reply;
    reply.unit = header->unit;
    reply.sequence = header->sequence;
    reply.op = header->op;
    std::string_view rest = payload.substr(kHeaderLength + 1);
    const char mark = payload[kHeaderLength];
    if (mark == kErrorMark) {
        if (rest.size() != 2 || !isDigit(rest[0]) || !isDigit(rest[1])) {
            return std::nullopt;
        }
        reply.error = (rest[0] - '0') * 10 + (rest[1] - '0');
        return reply.error == sim::kOk ? std::nullopt : std::optional<Reply>(reply);
    }
    if (mark != kAckMark) {
        return std::nullopt;
    }
    if (rest.empty()) {
        return reply;
    }
    if (rest.front() != kTextMark) {
        return std::nullopt;
    }
    auto text = unescapeText(rest.substr(1));
    if (!text) {
        return std::nullopt;
    }
    reply.text = std::move(*text);
    return reply;
}

}  // namespace qavix::link
