#include "PortProblem.h"

#include "IniText.h"
#include "PortResolver.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

namespace qavix::link {

namespace {

namespace fs = std::filesystem;

struct CodeOfKind {
    PortProblemKind kind;
    const char* code;
};
// Callers of the library have long seen NOPORT for every "nothing usable there"; the kinds
// behind it are told apart again by looking at the device (refineMissing).
constexpr CodeOfKind kCodes[] = {
    {PortProblemKind::NoDevice, "NOPORT"},
    {PortProblemKind::Absent, "NOPORT"},
    {PortProblemKind::NotTerminal, "NOPORT"},
    {PortProblemKind::Permission, "ACCESS"},
    {PortProblemKind::Busy, "BUSY"},
    {PortProblemKind::Settings, "SETTING"},
    {PortProblemKind::Io, "IOERR"},
    {PortProblemKind::BadAddress, "ADDRESS"},
    {PortProblemKind::HostUnknown, "NOHOST"},
    {PortProblemKind::LookupFailed, "DNSFAIL"},
    {PortProblemKind::Refused, "REFUSED"},
    {PortProblemKind::Unreachable, "UNREACH"},
    {PortProblemKind::NoAnswer, "NOREPLY"},
    {PortProblemKind::Dropped, "DROPPED"},
    {PortProblemKind::NoComPortOption, "NOCPO"},
    {PortProblemKind::RateRefused, "NEGRATE"},
    {PortProblemKind::DataSizeRefused, "NEGSIZE"},
    {PortProblemKind::ParityRefused, "NEGPAR"},
    {PortProblemKind::StopSizeRefused, "NEGSTOP"},
};

// Installed with the program; it gives USB serial adapters to the dialout group.
constexpr const char* kUdevRuleName = "60-qavix-serial.rules";

// Several holders are rare (a terminal program and its child); naming two is enough.
constexpr int kMaxHoldersNamed = 2;

std::string processName(const fs::path& procEntry) {
    std::ifstream in(procEntry / "comm");
    std::string name;
    std::getline(in, name);
    return name;
}

bool isPid(const std::string& name) {
    return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

// Names come from the environment and Qavix.ini; shown as they may be printed.
std::string subject(const PortProblem& p) {
    if (p.port.empty()) {
        return "デバイス " + ini::printable(p.device);
    }
    return "通信ポート " + ini::printable(p.port) + " のデバイス " + ini::printable(p.device);
}

// The library reports every "nothing usable there" alike; what is there tells them apart.
PortProblemKind refineMissing(const std::string& device) {
    struct stat st {};
    if (device.empty()) {
        return PortProblemKind::NoDevice;
    }
    if (::stat(device.c_str(), &st) != 0) {
        return PortProblemKind::Absent;
    }
    if (!S_ISCHR(st.st_mode)) {
        return PortProblemKind::NotTerminal;
    }
    // A device node is a serial line only when it is a terminal (/dev/null and /dev/zero
    // are not); one whose hardware is gone cannot be opened at all. Opening it as the link
    // library did, without waiting and without making it our terminal, tells which.
    const int fd = ::open(device.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return PortProblemKind::Absent;
    }
    const bool terminal = ::isatty(fd) != 0;
    ::close(fd);
    return terminal ? PortProblemKind::Absent : PortProblemKind::NotTerminal;
}

// A failure of a device server is told apart by its kind, or for kinds shared with local
// devices (Busy) by the target it names.
bool isNetworkProblem(const PortProblem& p) {
    return p.kind >= PortProblemKind::BadAddress || isNetworkValue(p.device);
}

// Without the target: the short form of the library's message, whose caller named it.
std::string networkSubject(const PortProblem& p, bool withTarget) {
    if (!withTarget) {
        return "接続先";
    }
    if (p.port.empty()) {
        return "接続先 " + ini::printable(p.device);
    }
    return "通信ポート " + ini::printable(p.port) + " の接続先 " + ini::printable(p.device);
}

// A detail comes from a resolver, a server or the system; it is shown as it may be printed.
// It is the last bracket of a text's first line, where detailOfMessage finds it again.
std::string inBrackets(const std::string& detail) {
    return detail.empty() ? std::string() : "（" + ini::printable(detail) + "）";
}

constexpr std::string_view kOpenBracket = "（";
constexpr std::string_view kCloseBracketAndStop = "）。";

std::string secondsText(std::chrono::milliseconds time) {
    const auto ms = time.count();
    std::string text = std::to_string(ms / 1000);
    if (ms % 1000 != 0) {
        text += "." + std::to_string(ms % 1000 / 100);
    }
    return text;
}

std::string lineSettingRefused(const PortProblem& p, const std::string& subject,
                               const char* setting) {
    return subject + " が RFC 2217 による" + setting + "の設定を受け付けません" +
           inBrackets(p.detail) +
           "。\n"
           "デバイスサーバーとその先の機器がこの通信条件に対応しているか確認してください。";
}

std::string networkProblemText(const PortProblem& p, bool withTarget = true) {
    const std::string subject = networkSubject(p, withTarget);
    switch (p.kind) {
        case PortProblemKind::BadAddress:
            return subject + " の書き方が正しくありません" + inBrackets(p.detail) + "。";
        case PortProblemKind::HostUnknown:
            return subject + " のホスト名が見つかりません" + inBrackets(p.detail) +
                   "。\nホスト名の綴りと DNS の設定を確認してください。";
        case PortProblemKind::LookupFailed:
            return subject + " のホスト名を調べられません" + inBrackets(p.detail) +
                   "。\nネットワークと DNS サーバーの設定を確認してください。";
        case PortProblemKind::Refused:
            return subject +
                   " への接続が拒否されました。\n"
                   "ポート番号と、デバイスサーバーが動いているかを確認してください。";
        case PortProblemKind::Unreachable:
            return subject + " に届きません" + inBrackets(p.detail) +
                   "。\nネットワークの接続と経路を確認してください。";
        case PortProblemKind::NoAnswer:
            return subject + " が " + secondsText(connectTimeout()) + " 秒以内に接続に応じません" +
                   inBrackets(p.detail) +
                   "。\n"
                   "ホスト名、ポート番号と、途中のファイアウォールを確認してください。";
        case PortProblemKind::Dropped:
            return subject + " との接続がデバイスサーバー側で切られました" + inBrackets(p.detail) +
                   "。\n"
                   "別のクライアントが同じポートに接続して切り替わった"
                   "（ser2net の kickolduser など）か、デバイスサーバーが停止しました。";
        case PortProblemKind::Busy:
            return subject + " は他のクライアントが使用中です" + inBrackets(p.detail) +
                   "。\nそのクライアントを終了してください。";
        case PortProblemKind::NoComPortOption:
            return subject + " は RFC 2217（COM-PORT-OPTION）に応じません" + inBrackets(p.detail) +
                   "。\n"
                   "デバイスサーバーを telnet(rfc2217) で設定するか、tcp: で接続してください。";
        case PortProblemKind::RateRefused:
            return lineSettingRefused(p, subject, "通信速度");
        case PortProblemKind::DataSizeRefused:
            return lineSettingRefused(p, subject, "データビット長");
        case PortProblemKind::ParityRefused:
            return lineSettingRefused(p, subject, "パリティ");
        case PortProblemKind::StopSizeRefused:
            return lineSettingRefused(p, subject, "ストップビット");
        default:
            break;
    }
    return subject + " と通信できません" + inBrackets(p.detail) + "。";
}

PortProblem describeNetworkFailure(PortProblemKind kind, const std::string& port,
                                   const PortTarget& target) {
    PortProblem p;
    p.kind = target.network ? kind : PortProblemKind::BadAddress;
    p.port = port;
    p.device = target.value;
    if (p.kind == PortProblemKind::BadAddress) {
        p.detail = addressProblemText(target.addressProblem);
    }
    return p;
}

}  // namespace

const char* portProblemCode(PortProblemKind kind) {
    for (const auto& entry : kCodes) {
        if (entry.kind == kind) {
            return entry.code;
        }
    }
    return "IOERR";
}

std::optional<PortProblemKind> portProblemKindFromCode(const std::string& code) {
    for (const auto& entry : kCodes) {
        if (code == entry.code) {
            return entry.kind;
        }
    }
    return std::nullopt;
}

PortProblemKind kindFromErrno(int error) {
    switch (error) {
        case EBUSY:
            return PortProblemKind::Busy;
        case EACCES:
        case EPERM:
            return PortProblemKind::Permission;
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return PortProblemKind::Absent;
        default:
            return PortProblemKind::Io;
    }
}

std::string deviceGroup(const std::string& device) {
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0) {
        return {};
    }
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    if (getgrgid_r(st.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr) {
        return std::to_string(st.st_gid);
    }
    return found->gr_name;
}

std::string groupToJoin(const std::string& device) {
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0 || st.st_gid == 0 ||
        (st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP)) {
        return {};
    }
    return deviceGroup(device);
}

std::string deviceHolder(const std::string& device, const std::string& procRoot) {
    std::error_code ec;
    const fs::path target = fs::canonical(device, ec);
    if (ec) {
        return {};
    }
    const std::string self = std::to_string(::getpid());
    std::string named;
    int count = 0;
    for (const auto& proc : fs::directory_iterator(procRoot, ec)) {
        const std::string pid = proc.path().filename().string();
        if (!isPid(pid) || pid == self) {
            continue;
        }
        std::error_code fdError;
        for (const auto& fd : fs::directory_iterator(proc.path() / "fd", fdError)) {
            std::error_code linkError;
            if (fs::read_symlink(fd.path(), linkError) != target || linkError) {
                continue;
            }
            if (count < kMaxHoldersNamed) {
                named += (count > 0 ? "、" : "") + processName(proc.path()) + " (PID " + pid + ")";
            }
            ++count;
            break;
        }
    }
    return named;
}

PortProblem diagnosePort(PortProblemKind kind, const std::string& port, const std::string& device) {
    PortProblem p;
    p.kind = kind;
    p.port = port;
    p.device = device;
    if (kind == PortProblemKind::Permission) {
        p.group = groupToJoin(device);
    } else if (kind == PortProblemKind::Busy) {
        p.holder = deviceHolder(device);
    }
    return p;
}

std::optional<PortProblem> describeOpenFailure(const std::string& port, const std::string& code,
                                               const std::string& iniPath,
                                               const std::string& libraryMessage) {
    auto kind = portProblemKindFromCode(code);
    if (!kind) {
        return std::nullopt;
    }
    const auto target = resolvePort(port, iniPath);
    if (target && target->emulator) {
        return std::nullopt;  // the emulator's own failures say what they are
    }
    if (target && target->onNetwork()) {
        PortProblem p =
            describeNetworkFailure(*kind, comPortNumber(port) ? port : std::string(), *target);
        if (p.detail.empty()) {
            p.detail = detailOfMessage(libraryMessage);
        }
        return p;
    }
    const std::string device = target ? target->device : std::string();
    const std::string name = comPortNumber(port) ? port : std::string();
    if (!target) {
        kind = PortProblemKind::NoDevice;
    } else if (*kind == PortProblemKind::NoDevice) {
        kind = refineMissing(device);
    }
    PortProblem p = diagnosePort(*kind, name, device.empty() ? port : device);
    return p;
}

std::string portProblemText(const PortProblem& p) {
    if (isNetworkProblem(p)) {
        return networkProblemText(p);
    }
    switch (p.kind) {
        case PortProblemKind::NoDevice:
            return "通信ポート " + ini::printable(p.port.empty() ? p.device : p.port) +
                   " に当たるシリアルデバイスがありません。\n"
                   "通信設定でデバイスか内蔵エミュレータを選んでください。";
        case PortProblemKind::Absent:
            return subject(p) +
                   " がありません。\nケーブルと USB アダプタの接続を確認してください。";
        case PortProblemKind::Permission: {
            std::string text = subject(p) + " を開く権限がありません。\n";
            if (!p.group.empty()) {
                const std::string group = ini::printable(p.group);
                text += "グループ " + group + " に参加してください（sudo usermod -aG " + group +
                        " $USER の後、ログインし直す）。";
            } else {
                // No group opens it: joining one (root least of all) would not help.
                text +=
                    "このデバイスはこのユーザーには閉じられています。\n"
                    "USB シリアルアダプタなら、Qavix の udev ルール " +
                    std::string(kUdevRuleName) +
                    " でアダプタをグループ dialout の読み書き可能にし（挿し直すと有効）、"
                    "そのグループに参加してください。";
            }
            return text;
        }
        case PortProblemKind::Busy:
            if (!p.holder.empty()) {
                return subject(p) + " は他のプログラムが使用中です: " + ini::printable(p.holder) +
                       "。\nそのプログラムを終了してください。";
            }
            return subject(p) +
                   " は他のプログラムが使用中です。\nそのプログラムを終了してください。";
        case PortProblemKind::NotTerminal:
            return subject(p) + " はシリアルポートではありません。";
        case PortProblemKind::Settings:
            return subject(p) +
                   " が通信条件（速度・データビット長・パリティ・ストップビット）を受け付けません"
                   "。";
        case PortProblemKind::Io:
        case PortProblemKind::BadAddress:
        case PortProblemKind::HostUnknown:
        case PortProblemKind::LookupFailed:
        case PortProblemKind::Refused:
        case PortProblemKind::Unreachable:
        case PortProblemKind::NoAnswer:
        case PortProblemKind::Dropped:
        case PortProblemKind::NoComPortOption:
        case PortProblemKind::RateRefused:
        case PortProblemKind::DataSizeRefused:
        case PortProblemKind::ParityRefused:
        case PortProblemKind::StopSizeRefused:
            break;
    }
    return subject(p) + " を開けません" + inBrackets(p.detail) + "。";
}

std::string portProblemMessage(const PortProblem& p, std::size_t capacity) {
    std::string text = portProblemText(p);
    if (text.size() >= capacity && isNetworkProblem(p) && !p.detail.empty()) {
        // The cause line alone, so that the detail is not cut off: the target goes instead.
        text = networkProblemText(p, false);
        text.erase(std::min(text.size(), text.find('\n')));
    }
    return cutUtf8(text, capacity);
}

std::string detailOfMessage(const std::string& message) {
    const std::string line = message.substr(0, message.find('\n'));
    if (line.size() < kCloseBracketAndStop.size() ||
        line.compare(line.size() - kCloseBracketAndStop.size(), kCloseBracketAndStop.size(),
                     kCloseBracketAndStop) != 0) {
        return {};
    }
    const std::size_t end = line.size() - kCloseBracketAndStop.size();
    const std::size_t open = line.rfind(kOpenBracket, end);
    if (open == std::string::npos) {
        return {};
    }
    const std::size_t start = open + kOpenBracket.size();
    return line.substr(start, end - start);
}

std::string portSubject(const PortProblem& p) {
    return isNetworkProblem(p) ? networkSubject(p, true) : subject(p);
}

std::string cutUtf8(const std::string& text, std::size_t size) {
    if (size == 0) {
        return {};
    }
    if (text.size() < size) {
        return text;
    }
    std::size_t end = size - 1;
    // Step back over continuation bytes so the cut lands before a character's first byte.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

}  // namespace qavix::link
