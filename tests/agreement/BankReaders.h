#pragma once
// The program's bank-file reader and the emulator's, each asked what a file's bytes hold:
// the image (and the sensors) the file is taken to describe, or a refusal. Both must give
// the same answer for every input; the agreement test and the bank-file fuzz target compare
// them.

#include <string>
#include <string_view>
#include <vector>

#include "files/BankFile.h"
#include "files/BankImport.h"
#include "sim/BankFileImage.h"
#include "sim/HexText.h"

namespace qavix::test {

struct ReaderVerdict {
    bool accepted = false;
    std::string image;       // upper-case hexadecimal, when accepted
    std::vector<int> beams;  // beams of each connected sensor, when accepted
    std::string why;         // the refusal's message

    bool operator==(const ReaderVerdict& o) const {
        return accepted == o.accepted && image == o.image && beams == o.beams;
    }
};

// What `bank check`, `bank import` and `qavix --edit` take from the bytes.
inline ReaderVerdict programReads(std::string_view bytes) {
    ReaderVerdict verdict;
    SettingsData set;
    const bankfile::BankFileContents file = bankfile::parseBankFile(bytes);
    const bankfile::ImportResult result = bankfile::importBlocks(file.blocks, set);
    if (!result.ok()) {
        verdict.why = result.message;
        return verdict;
    }
    verdict.accepted = true;
    verdict.image = bankfile::imageText(file.blocks.texts);
    for (int c = 0; c < set.general.jointNum; ++c) {
        verdict.beams.push_back(set.channel(c).beamCount);
    }
    return verdict;
}

// What the emulator's --bank-file takes from the bytes.
inline ReaderVerdict emulatorReads(const std::string& bytes) {
    ReaderVerdict verdict;
    sim::BankFileImage image;
    if (!sim::parseBankFileImage(bytes, image, verdict.why)) {
        return verdict;
    }
    verdict.accepted = true;
    verdict.image = sim::toHex(image.image.data(), image.image.size());
    verdict.beams = image.beams;
    return verdict;
}

}  // namespace qavix::test
