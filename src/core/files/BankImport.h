#pragma once
// Turning a bank file into a stored set: the block texts decoded into a set, and the whole
// import check (file, lengths, decoding, value ranges) that precedes any copy into a target.

#include <string>

#include "files/BankFile.h"
#include "model/Codec.h"
#include "model/DeviceData.h"
#include "model/DeviceModel.h"

namespace qavix::bankfile {

// Decodes the eleven block texts at their places in the bank image. Every block is tried;
// the result is Malformed when any block was.
codec::DecodeResult decodeBlocks(const BlockTexts& texts, SettingsData& set);

enum class ImportStatus { Ok, CannotOpen, InvalidData, OutOfRange };

struct ImportResult {
    ImportStatus status = ImportStatus::InvalidData;
    std::string message;  // what to show when status is not Ok
    std::string field;    // the failing field's name for OutOfRange
    std::string reason;   // for CannotOpen: the system's reason, naming the path

    bool ok() const { return status == ImportStatus::Ok; }
};

// Reads `path` into `set` and checks it. A file whose block texts are not hexadecimal (or
// decimal where the format says so) is invalid data, like one with wrong lengths; so is one
// that passes the range check and still describes no controller (describesAController).
// `set` may hold the rejected data afterwards.
ImportResult importFile(const std::string& path, SettingsData& set);
// The same check for block texts already read.
ImportResult importBlocks(const BlockRead& read, SettingsData& set);

// Whether decoded block texts describe a controller: every character a hexadecimal digit
// (the version texts are carried as they are, so the decoder takes any characters there,
// yet a controller keeps its versions as numbers) and every connected sensor with beams.
// A file failing this can be imported into no controller, nor be edited on the emulator.
bool describesAController(const BlockTexts& texts, const SettingsData& set);

// The bank image the block texts make, as the 2268 hexadecimal digits (upper case) of its
// 1134 bytes in image order; for texts that describe a controller.
std::string imageText(const BlockTexts& texts);

// The import's checks in their order, with the file read into the spare stored set: the
// file's own checks of importFile, then the compatibility check of every stored set, which
// refuses a file of another controller type, version or sensor configuration as invalid
// data. Nothing but the spare set and the compatible flags is changed.
ImportResult importIntoSpare(const std::string& path, DeviceModel& model);

}  // namespace qavix::bankfile
