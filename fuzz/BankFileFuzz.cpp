// The bank file reader as an import runs it: Shift-JIS text, block texts by position,
// decoding, the range check (with the JOINT_NUM second look), the key check and the title.
// Where the emulator is built too, its reader must take every input as the program's does
// (tests/agreement).

#include <cstddef>
#include <cstdint>
#include <string>

#include "ShiftJis.h"
#include "files/BankFile.h"
#include "files/BankImport.h"
#ifdef QAVIX_FUZZ_WITH_EMULATOR
#include "BankReaders.h"
#endif
#include "files/ProfileFile.h"

using namespace qavix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    bool lossy = false;
    const auto entries = bankfile::BankFileEntries::fromCp932(bytes, lossy);
    SettingsData set;
    const bankfile::ImportResult imported =
        bankfile::importBlocks(bankfile::readBlocks(entries), set);
    if (imported.ok() && !lossy) {
        // What passed must survive being written and read back.
        std::tm when{};
        when.tm_year = 124;
        when.tm_mday = 1;
        const bankfile::BankFileText written = bankfile::formatBankFile(set, "2.10", "", when);
        if (written.ok) {
            SettingsData again;
            const auto reread = bankfile::importBlocks(
                bankfile::readBlocks(bankfile::BankFileEntries::fromText(written.text)), again);
            if (!reread.ok()) {
                __builtin_trap();
            }
        }
    }
    (void)bankfile::misplacedKeys(entries);
    (void)bankfile::readTitleAndDate(entries);
#ifdef QAVIX_FUZZ_WITH_EMULATOR
    if (!(test::programReads(bytes) == test::emulatorReads(std::string(bytes)))) {
        __builtin_trap();
    }
#endif
    return 0;
}
