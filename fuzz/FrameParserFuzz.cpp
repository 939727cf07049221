// The link library's frame scanner and message decoders on any byte stream: frames found
// are decoded as requests and replies, and a decoded request encodes back to its payload.

#include <cstddef>
#include <cstdint>

#include "Frame.h"
#include "Message.h"

using namespace qavix::link;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FrameScanner scanner;
    for (size_t i = 0; i < size; ++i) {
        const auto frame = scanner.push(static_cast<char>(data[i]));
        if (!frame) {
            continue;
        }
        (void)decodeHeader(frame->payload);
        (void)decodeReply(frame->payload);
        if (const auto request = decodeRequest(frame->payload)) {
            const auto again = decodeRequest(encodeRequest(*request));
            if (!again || again->sequence != request->sequence ||
                again->command.op != request->command.op ||
                again->command.text != request->command.text) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
