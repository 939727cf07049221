#pragma once
// A bank file (.qbk) as the controller would hold it: the values of its CH1, CH2, CH3 and
// CONTROLLER sections joined in line order are the hexadecimal text of one bank image.
// The emulator reads this itself (and not through the program's reader) so that it stays
// an independent account of the controller; `--bank-file` starts it on such a file.

#include <string>
#include <vector>

#include "sim/MemoryLayout.h"

namespace qavix::sim {

struct BankFileImage {
    SetMemory image;         // kImageSize bytes
    std::vector<int> beams;  // beam count of each connected sensor (JOINT_NUM of them)
};

// Parses the text of a bank file. False with a message when a section is missing, the
// joined text is not kImageSize bytes of hexadecimal, or the sensors it names are not 1 to
// 3 sensors of 1 to 128 beams each.
bool parseBankFileImage(const std::string& text, BankFileImage& out, std::string& error);
bool loadBankFileImage(const std::string& path, BankFileImage& out, std::string& error);

}  // namespace qavix::sim
