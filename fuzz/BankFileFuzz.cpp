// The bank file reader as an import runs it: Shift-JIS text, block texts by position,
// decoding, the range check (with the JOINT_NUM second look), the key check and the title.

#include <cstddef>
#include <cstdint>
#include <string>

#include "ShiftJis.h"
#include "files/BankFile.h"
#include "files/BankImport.h"
#include "files/ProfileFile.h"

using namespace qavix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const sjis::Conversion text = sjis::fromCp932(bytes);
    const ProfileFile profile = ProfileFile::fromText(text.text);
    SettingsData set;
    const bankfile::ImportResult imported =
        bankfile::importBlocks(bankfile::readBlocks(profile), set);
    if (imported.ok() && text.complete) {
        // What passed must survive being written and read back.
        std::tm when{};
        when.tm_year = 124;
        when.tm_mday = 1;
        const bankfile::BankFileText written = bankfile::formatBankFile(set, "2.10", "", when);
        if (written.ok) {
            SettingsData again;
            const auto reread = bankfile::importBlocks(
                bankfile::readBlocks(ProfileFile::fromText(written.text)), again);
            if (!reread.ok()) {
                __builtin_trap();
            }
        }
    }
    (void)bankfile::misplacedKeys(profile);
    (void)bankfile::readTitleAndDate(profile);
    return 0;
}
