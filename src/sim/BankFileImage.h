#pragma once
// A bank file (.qbk) as the controller would hold it: the values of its CH1, CH2, CH3 and
// CONTROLLER sections joined in entry order are the hexadecimal text of one bank image.
// The emulator reads this itself (and not through the program's reader) so that it stays
// an independent account of the controller; `--bank-file` starts it on such a file.
//
// It must read every file exactly as the program does, or a file would show one thing in
// `qavixctl bank check` and another on the emulator: Shift-JIS text with lines ended by
// CR LF, LF or a lone CR; a "[name]" line starts a section (any case; the first of a repeated
// name counts); blank and ";" lines are no entries, every other line is one ("#" lines
// too), its value after the first "=" or all of it, blanks trimmed; the first 22 entries of
// a CH section and the first 99 of CONTROLLER count; each of the image's eleven blocks must
// come out at its own length; and the image must be one the program's import accepts
// (BankImageCheck). A test runs both readers over mutated files and compares them.

#include <string>
#include <vector>

#include "sim/MemoryLayout.h"

namespace qavix::sim {

struct BankFileImage {
    SetMemory image;         // kImageSize bytes
    std::vector<int> beams;  // beam count of each connected sensor (JOINT_NUM of them)
};

// Parses the bytes of a bank file. False with a message when they are not Shift-JIS, a
// block of the image is missing or not of its length, the image is not hexadecimal, or it
// is one the import would refuse.
bool parseBankFileImage(const std::string& bytes, BankFileImage& out, std::string& error);
// Reads a regular file of at most kMaxInputFileSize bytes (InputFile.h) and parses it.
bool loadBankFileImage(const std::string& path, BankFileImage& out, std::string& error);

// The same checks for an image given as its hexadecimal text (`--bank-image`).
bool bankImageFromHex(const std::string& hex, BankFileImage& out, std::string& error);

}  // namespace qavix::sim
