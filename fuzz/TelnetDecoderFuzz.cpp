// The Telnet decoder of RFC 2217 ports on any byte stream from a server: the stream cut
// anywhere decodes as it does whole, escaped data comes back unchanged, and the option
// answers stay within one command per negotiation.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "TelnetCodec.h"

using namespace qavix::link::telnet;

namespace {

bool sameEvents(const std::vector<Event>& a, const std::vector<Event>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].kind != b[i].kind || a[i].verb != b[i].verb || a[i].option != b[i].option ||
            a[i].body != b[i].body) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string stream(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t cut = stream.empty() ? 0 : data[0] % (stream.size() + 1);

    Decoder whole;
    std::string wholeData;
    std::vector<Event> wholeEvents;
    whole.feed(stream, wholeData, wholeEvents);

    Decoder split;
    std::string splitData;
    std::vector<Event> splitEvents;
    split.feed(std::string_view(stream).substr(0, cut), splitData, splitEvents);
    split.feed(std::string_view(stream).substr(cut), splitData, splitEvents);
    if (splitData != wholeData || !sameEvents(splitEvents, wholeEvents)) {
        __builtin_trap();
    }

    Options options;
    options.start();
    for (const Event& event : wholeEvents) {
        if (event.body.size() > kMaxSubnegotiation) {
            __builtin_trap();
        }
        if (event.kind == Event::Kind::Negotiation &&
            options.answer(event.verb, event.option).size() > 3) {
            __builtin_trap();
        }
    }

    Decoder back;
    std::string backData;
    std::vector<Event> backEvents;
    back.feed(escapeData(stream), backData, backEvents);
    if (backData != stream || !backEvents.empty()) {
        __builtin_trap();
    }
    return 0;
}
