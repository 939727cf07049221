#include "model/SensorOutputs.h"

#include <array>

namespace qavix {

namespace {

struct SensorOutputName {
    int32_t code;
    const char* name;
};

// Codes 1 to 8 run in order; the inverted OUT1 is 0x0F (the code the operation settings
// page writes for it) and the test-line and blanking-setting outputs follow it.
constexpr std::array<SensorOutputName, 12> kNames = {{
    {0x01, "OUT1 同期出力"},
    {0x02, "最端光軸出力"},
    {0x03, "ロックアウト出力"},
    {0x04, "光量診断出力"},
    {0x05, "指定光軸出力"},
    {0x06, "通電時間出力"},
    {0x07, "ブランキング出力"},
    {0x08, "負荷開閉回数出力"},
    {0x0F, "OUT1 反転出力"},
    {0x10, "テスト入力線出力"},
    {0x11, "テスト入力線反転出力"},
    {0x12, "ブランキング設定時出力"},
}};

}  // namespace

std::string sensorOutputName(int32_t code) {
    for (const SensorOutputName& entry : kNames) {
        if (entry.code == code) {
            return entry.name;
        }
    }
    return "該当無";
}

}  // namespace qavix
