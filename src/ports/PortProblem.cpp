#include "PortProblem.h"

#include "IniText.h"
#include "PortResolver.h"
#include "Translate.h"

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
        return i18n::fill(QX_("デバイス %1"), {ini::printable(p.device)});
    }
    return i18n::fill(QX_("通信ポート %1 のデバイス %2"),
                      {ini::printable(p.port), ini::printable(p.device)});
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
        return QX_("接続先");
    }
    if (p.port.empty()) {
        return i18n::fill(QX_("接続先 %1"), {ini::printable(p.device)});
    }
    return i18n::fill(QX_("通信ポート %1 の接続先 %2"),
                      {ini::printable(p.port), ini::printable(p.device)});
}

// A detail comes from a resolver, a server or the system; it is shown as it may be printed.
// It is the last bracket of a text's first line, where detailOfMessage finds it again.
std::string inBrackets(const std::string& detail) {
    return detail.empty() ? std::string() : i18n::fill(QX_("（%1）"), {ini::printable(detail)});
}

// How a first line ends with its detail, in the Japanese and in the Latin punctuation of the
// translations: the library's message was made in the language of the process.
struct DetailEnding {
    std::string_view open;
    std::string_view close;
    std::string_view stop;
};
constexpr DetailEnding kDetailEndings[] = {{"（", "）", "。"}, {"(", ")", "."}};

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
    return i18n::fill(QX_("%1 が RFC 2217 による%2の設定を受け付けません%3。\n"
                          "デバイスサーバーとその先の機器がこの通信条件に対応しているか確認して"
                          "ください。"),
                      {subject, i18n::translate(setting), inBrackets(p.detail)});
}

std::string networkProblemText(const PortProblem& p, bool withTarget = true) {
    const std::string subject = networkSubject(p, withTarget);
    switch (p.kind) {
        case PortProblemKind::BadAddress:
            return i18n::fill(QX_("%1 の書き方が正しくありません%2。"),
                              {subject, inBrackets(p.detail)});
        case PortProblemKind::HostUnknown:
            return i18n::fill(QX_("%1 のホスト名が見つかりません%2。\n"
                                  "ホスト名の綴りと DNS の設定を確認してください。"),
                              {subject, inBrackets(p.detail)});
        case PortProblemKind::LookupFailed:
            return i18n::fill(QX_("%1 のホスト名を調べられません%2。\n"
                                  "ネットワークと DNS サーバーの設定を確認してください。"),
                              {subject, inBrackets(p.detail)});
        case PortProblemKind::Refused:
            return i18n::fill(
                QX_("%1 への接続が拒否されました。\n"
                    "ポート番号と、デバイスサーバーが動いているかを確認してください。"),
                {subject});
        case PortProblemKind::Unreachable:
            return i18n::fill(
                QX_("%1 に届きません%2。\nネットワークの接続と経路を確認してください。"),
                {subject, inBrackets(p.detail)});
        case PortProblemKind::NoAnswer:
            return i18n::fill(QX_("%1 が %2 秒以内に接続に応じません%3。\n"
                                  "ホスト名、ポート番号と、途中のファイアウォールを確認して"
                                  "ください。"),
                              {subject, secondsText(connectTimeout()), inBrackets(p.detail)});
        case PortProblemKind::Dropped:
            return i18n::fill(QX_("%1 との接続がデバイスサーバー側で切られました%2。\n"
                                  "別のクライアントが同じポートに接続して切り替わった"
                                  "（ser2net の kickolduser など）か、デバイスサーバーが"
                                  "停止しました。"),
                              {subject, inBrackets(p.detail)});
        case PortProblemKind::Busy:
            return i18n::fill(QX_("%1 は他のクライアントが使用中です%2。\n"
                                  "そのクライアントを終了してください。"),
                              {subject, inBrackets(p.detail)});
        case PortProblemKind::NoComPortOption:
            return i18n::fill(QX_("%1 は RFC 2217（COM-PORT-OPTION）に応じません%2。\n"
                                  "デバイスサーバーを telnet(rfc2217) で設定するか、tcp: で"
                                  "接続してください。"),
                              {subject, inBrackets(p.detail)});
        case PortProblemKind::RateRefused:
            return lineSettingRefused(p, subject, N_("通信速度"));
        case PortProblemKind::DataSizeRefused:
            return lineSettingRefused(p, subject, N_("データビット長"));
        case PortProblemKind::ParityRefused:
            return lineSettingRefused(p, subject, N_("パリティ"));
        case PortProblemKind::StopSizeRefused:
            return lineSettingRefused(p, subject, N_("ストップビット"));
        default:
            break;
    }
    return i18n::fill(QX_("%1 と通信できません%2。"), {subject, inBrackets(p.detail)});
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
                const std::string holder = processName(proc.path()) + " (PID " + pid + ")";
                named = count > 0 ? i18n::fill(QX_("%1、%2"), {named, holder}) : holder;
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
            return i18n::fill(QX_("通信ポート %1 に当たるシリアルデバイスがありません。\n"
                                  "通信設定でデバイスか内蔵エミュレータを選んでください。"),
                              {ini::printable(p.port.empty() ? p.device : p.port)});
        case PortProblemKind::Absent:
            return i18n::fill(QX_("%1 がありません。\nケーブルと USB アダプタの接続を確認して"
                                  "ください。"),
                              {subject(p)});
        case PortProblemKind::Permission: {
            std::string text = i18n::fill(QX_("%1 を開く権限がありません。"), {subject(p)}) + "\n";
            if (!p.group.empty()) {
                text += i18n::fill(QX_("グループ %1 に参加してください（sudo usermod -aG %1 $USER "
                                       "の後、ログインし直す）。"),
                                   {ini::printable(p.group)});
            } else {
                // No group opens it: joining one (root least of all) would not help.
                text += i18n::fill(QX_("このデバイスはこのユーザーには閉じられています。\n"
                                       "USB シリアルアダプタなら、Qavix の udev ルール %1 で"
                                       "アダプタをグループ dialout の読み書き可能にし（挿し直すと"
                                       "有効）、そのグループに参加してください。"),
                                   {kUdevRuleName});
            }
            return text;
        }
        case PortProblemKind::Busy:
            if (!p.holder.empty()) {
                return i18n::fill(QX_("%1 は他のプログラムが使用中です: %2。\n"
                                      "そのプログラムを終了してください。"),
                                  {subject(p), ini::printable(p.holder)});
            }
            return i18n::fill(QX_("%1 は他のプログラムが使用中です。\nそのプログラムを終了して"
                                  "ください。"),
                              {subject(p)});
        case PortProblemKind::NotTerminal:
            return i18n::fill(QX_("%1 はシリアルポートではありません。"), {subject(p)});
        case PortProblemKind::Settings:
            return i18n::fill(QX_("%1 が通信条件（速度・データビット長・パリティ・ストップビット）"
                                  "を受け付けません。"),
                              {subject(p)});
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
    return i18n::fill(QX_("%1 を開けません%2。"), {subject(p), inBrackets(p.detail)});
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
    const std::string_view line = std::string_view(message).substr(0, message.find('\n'));
    for (const DetailEnding& e : kDetailEndings) {
        const std::size_t endingSize = e.close.size() + e.stop.size();
        if (line.size() < endingSize || line.substr(line.size() - e.stop.size()) != e.stop ||
            line.substr(line.size() - endingSize, e.close.size()) != e.close) {
            continue;
        }
        // The bracket that the last one closes: a detail may hold brackets of its own.
        const std::size_t end = line.size() - endingSize;
        int depth = 1;
        for (std::size_t at = end; at-- > 0;) {
            const std::string_view rest = line.substr(at);
            if (rest.substr(0, e.close.size()) == e.close) {
                ++depth;
            } else if (rest.substr(0, e.open.size()) == e.open && --depth == 0) {
                const std::size_t start = at + e.open.size();
                return std::string(line.substr(start, end - start));
            }
        }
        return {};
    }
    return {};
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
