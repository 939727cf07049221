#pragma once
// The bank file (.qbk): one stored set as an INI-style Shift-JIS text with CR LF. Every
// value of the channel and controller sections is a fixed-width piece of the bank image's
// hexadecimal text; the reader ignores the keys and joins the values back by position.

#include <array>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "Translate.h"
#include "files/BankFileEntries.h"
#include "files/FileIo.h"
#include "model/DeviceData.h"

namespace qavix::bankfile {

// Shown through i18n::translate.
constexpr const char* kOpenFailedMessage =
    N_("指定されたファイルを開くことが出来ませんでした。\nファイルを確認して下さい。");
constexpr const char* kInvalidDataMessage = N_("Bankデータが無効です。インポートを中止します。");

// The eleven block texts in bank-image order: channels 1..3, general, thresholds 1..3,
// zero tables 1..3, extended.
constexpr int kBlockCount = 11;
using BlockTexts = std::array<std::string, kBlockCount>;
// Length of each block text in characters, the check a file must pass.
constexpr std::array<size_t, kBlockCount> kBlockLengths = {128, 128, 128, 160, 256, 256,
                                                           256, 256, 256, 256, 188};

// The whole file as UTF-8 text with CR LF, or why it cannot be written: a value that does
// not fit its field (the reader would reject the file), a title with a line break or with
// characters that Shift-JIS cannot store.
struct BankFileText {
    bool ok = false;
    std::string text;
    std::string error;
};

// `when` is the local time of writing, shown in DATE; `version` follows "## Ver ".
BankFileText formatBankFile(const SettingsData& set, std::string_view version,
                            std::string_view title, const std::tm& when);

// Formats and writes atomically; the previous file survives any failure.
fileio::WriteResult writeBankFile(const std::string& path, const SettingsData& set,
                                  std::string_view version, std::string_view title,
                                  const std::tm& when);

enum class ReadStatus { Ok, CannotOpen, InvalidData };

struct BlockRead {
    ReadStatus status = ReadStatus::InvalidData;
    std::string message;  // the message to show when status is not Ok
    std::string reason;   // for CannotOpen: the system's reason, naming the path
    BlockTexts texts;

    bool ok() const { return status == ReadStatus::Ok; }
};

// Reads a file's block texts and checks their lengths; the characters are not examined. A
// file holding bytes that are not Shift-JIS is invalid data: they would be read as "?". Only
// a regular file is read (fileio::readFile), so a FIFO or a device cannot stall or flood it.
BlockRead readBlocks(const std::string& path);
BlockRead readBlocks(const BankFileEntries& entries);

// An entry whose key is not the one the format has at its place. The reader goes by
// position, so such a file still reads, but a duplicated or missing line shifts every later
// value: worth a warning.
struct KeyMismatch {
    std::string section;
    size_t position = 0;  // 1-based entry number within the section
    std::string expected;
    std::string found;
};

std::vector<KeyMismatch> misplacedKeys(const BankFileEntries& entries);

struct TitleAndDate {
    std::string title = "-";
    std::string date = "-";
    bool found = false;  // both were there; a title without a date is not found, title kept
};

// A file that cannot be read has neither; bytes that are not Shift-JIS read as "?".
TitleAndDate readTitleAndDate(const std::string& path);
TitleAndDate readTitleAndDate(const BankFileEntries& entries);

// Everything the program takes from a bank file, from one reading of it.
struct BankFileContents {
    BlockRead blocks;
    TitleAndDate attribute;
    std::vector<KeyMismatch> misplaced;
};

BankFileContents readBankFile(const std::string& path);
// The same for a file's bytes already read.
BankFileContents parseBankFile(std::string_view bytes);

}  // namespace qavix::bankfile
