// The decoders of the controller's replies: every read code with any arguments and text,
// bank image pieces at any offset, and the error block.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/Codec.h"
#include "model/ControllerError.h"
#include "model/DeviceModel.h"

using namespace qavix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) {
        return 0;
    }
    // The first bytes choose the request, the rest is the reply text.
    const int code = data[0];
    const int arg1 = static_cast<int8_t>(data[1]);
    const int start = (data[2] << 8 | data[3]) - 64;  // a little below 0 to well past the image
    const std::string_view text(reinterpret_cast<const char*>(data) + 4, size - 4);

    DeviceModel model;
    (void)codec::decodeReply(code, arg1, start, text, model);
    SettingsData set;
    (void)codec::decodeReply(code, arg1, start, text, set);
    (void)codec::decodeBankImage(start, text, set);
    (void)evaluateErrorBlock(text);
    return 0;
}
