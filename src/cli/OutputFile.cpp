#include "OutputFile.h"

#include <iostream>

#include "ExitCodes.h"
#include "Translate.h"
#include "files/FileIo.h"
#include "files/TextFile.h"

namespace qavix::cli {

namespace {

void printFailure(const std::string& failureMessage, const std::string& reason) {
    if (!failureMessage.empty()) {
        std::cerr << failureMessage << '\n';
    }
    std::cerr << reason << '\n';
}

}  // namespace

bool isStandardOutput(const std::string& path) {
    return path == kStandardOutputName;
}

int checkOutputTarget(const std::string& path, const std::string& failureMessage) {
    if (isStandardOutput(path)) {
        return kExitOk;
    }
    const fileio::WriteResult checked = fileio::checkWriteTarget(path);
    if (!checked.ok) {
        printFailure(failureMessage, checked.error);
        return kExitFileError;
    }
    return kExitOk;
}

int writeTextOutput(const std::string& path, std::string_view text,
                    const std::string& failureMessage) {
    if (!isStandardOutput(path)) {
        const fileio::WriteResult written = textfile::writeText(path, text);
        if (!written.ok) {
            printFailure(failureMessage, written.error);
            return kExitFileError;
        }
        return kExitOk;
    }
    const textfile::EncodedText encoded = textfile::encodeText(text);
    if (!encoded.ok) {
        printFailure(failureMessage, QX_("Shift-JIS で保存できない文字がテキストにあります"));
        return kExitFileError;
    }
    std::cout.write(encoded.bytes.data(), static_cast<std::streamsize>(encoded.bytes.size()));
    std::cout.flush();
    if (!std::cout) {
        printFailure(failureMessage, QX_("標準出力に書けません"));
        return kExitFileError;
    }
    return kExitOk;
}

}  // namespace qavix::cli
