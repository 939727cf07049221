// The core keeps its own copy of the link library's function types, because it reaches the
// library only through dlopen. A copy that drifted from the header would still compile and
// call the entries with the wrong arguments; this file stops the build instead.

#include <type_traits>

#include "comm/LinkApi.h"
#include "qavlink.h"

namespace qavix {
namespace {

// Each entry as declared, not the header's own pointer typedefs, which could drift too.
template <typename Ours, typename Header>
constexpr bool kSameType = std::is_same_v<Ours, Header>;

static_assert(kSameType<KrylGetLastError, decltype(&KRYL_GetLastError)>);
static_assert(kSameType<KrylNoArgs, decltype(&KRYL_Initialize)>);
static_assert(kSameType<KrylNoArgs, decltype(&KRYL_Terminate)>);
static_assert(kSameType<KrylNoArgs, decltype(&KRYL_Close)>);
static_assert(kSameType<KrylOpen, decltype(&KRYL_Open)>);
static_assert(kSameType<KrylGetControlDataWait, decltype(&KRYL_GetControlDataWait)>);
static_assert(kSameType<KrylPutControlDataWait, decltype(&KRYL_PutControlDataWait)>);
static_assert(kSameType<KrylUnitOnly, decltype(&KRYL_StartSetting)>);
static_assert(kSameType<KrylUnitOnly, decltype(&KRYL_EnableSetting)>);
static_assert(kSameType<KrylUnitOnly, decltype(&KRYL_Reset)>);
static_assert(kSameType<KrylUnitOnly, decltype(&KRYL_FACTStart)>);
static_assert(kSameType<KrylUnitOnly, decltype(&KRYL_FACTEnd)>);
static_assert(kSameType<KrylClearBank, decltype(&KRYL_ClearBank)>);
static_assert(kSameType<KrylZeroReset, decltype(&KRYL_ZeroReset)>);
static_assert(kSameType<KrylTeachRatio, decltype(&KRYL_TeachRasio)>);
static_assert(kSameType<KrylGetStringDataWait, decltype(&KRYL_GetStringDataWait)>);
static_assert(kSameType<KrylGetParameterDataWait, decltype(&KRYL_GetParameterDataWait)>);
static_assert(kSameType<KrylPutParameterDataWait, decltype(&KRYL_PutParameterDataWait)>);
static_assert(kSameType<KrylGetCommData, decltype(&KRYL_GetCommData)>);
static_assert(kSameType<KrylNewConnection, decltype(&KRYL_NewConnection)>);
static_assert(kSameType<KrylConnection, decltype(&KRYL_UseConnection)>);
static_assert(kSameType<KrylConnection, decltype(&KRYL_EndConnection)>);

// The buffers the core hands over are the sizes the header promises to fill at most.
static_assert(kReplyBufferSize > KRYL_MAX_REPLY);
static_assert(kStatusBufferSize > KRYL_MAX_REPLY);
static_assert(kFrameBufferSize >= KRYL_FRAME_BUFFER_SIZE);

}  // namespace
}  // namespace qavix
