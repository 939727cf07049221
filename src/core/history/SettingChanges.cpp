#include "history/SettingChanges.h"

#include <set>

#include "files/BankFields.h"
#include "files/BankFile.h"
#include "files/BankImport.h"

namespace qavix::history {

namespace {

constexpr const char* kCurrentFile = "current.qbk";
constexpr const char* kAbsent = "absent";
constexpr const char* kSaved = "saved";
constexpr const char* kUnreadable = "unreadable";

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        items.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) {
            return items;
        }
        start = comma + 1;
    }
}

// Decoded as `bank diff` reads a file: block lengths and decoding, no range check.
bool decodeBankBytes(const std::string& bytes, SettingsData& set) {
    const bankfile::BankFileContents file = bankfile::parseBankFile(bytes);
    return file.blocks.ok() &&
           bankfile::decodeBlocks(file.blocks.texts, set) == codec::DecodeResult::Ok;
}

void addFieldChanges(const std::string& file, const bankfile::FieldChange& c,
                     std::vector<SettingChange>& out) {
    if (!c.element.empty()) {
        const std::vector<std::string> a = splitList(c.before);
        const std::vector<std::string> b = splitList(c.after);
        if (a.size() == b.size()) {
            for (size_t i = 0; i < a.size(); ++i) {
                if (a[i] != b[i]) {
                    out.push_back(
                        {file, c.name,
                         c.element + " " + std::to_string(c.firstElement + static_cast<int>(i)),
                         a[i], b[i]});
                }
            }
            return;
        }
    }
    out.push_back({file, c.name, {}, c.before, c.after});
}

void compareBankFiles(const std::string& file, const std::string& before, const std::string& after,
                      std::vector<SettingChange>& out) {
    SettingsData a;
    SettingsData b;
    const bool readA = decodeBankBytes(before, a);
    const bool readB = decodeBankBytes(after, b);
    if (!readA || !readB) {
        // A damaged stored file cannot be compared by field; whether it changed is all
        // there is to say.
        if (before != after) {
            out.push_back(
                {file, {}, {}, readA ? kSaved : kUnreadable, readB ? kSaved : kUnreadable});
        }
        return;
    }
    for (const bankfile::FieldChange& c : bankfile::fieldChanges(a, b)) {
        addFieldChanges(file, c, out);
    }
}

// Leaf values by dotted path ("sensors.1.receiverSerial", arrays counted from 1).
void flatten(const json::Value& value, const std::string& path,
             std::map<std::string, std::string>& out) {
    switch (value.type()) {
        case json::Value::Type::Object:
            for (const auto& [key, member] : value.members()) {
                flatten(member, path.empty() ? key : path + "." + key, out);
            }
            break;
        case json::Value::Type::Array:
            for (size_t i = 0; i < value.items().size(); ++i) {
                flatten(value.items()[i], path + "." + std::to_string(i + 1), out);
            }
            break;
        case json::Value::Type::String:
            out[path] = value.asString();
            break;
        case json::Value::Type::Number: {
            const auto whole = value.integer();
            out[path] = whole ? std::to_string(*whole) : std::to_string(value.asNumber());
            break;
        }
        case json::Value::Type::Bool:
            out[path] = value.asBool() ? "true" : "false";
            break;
        case json::Value::Type::Null:
            out[path] = "null";
            break;
    }
}

void compareIdentity(const std::string& before, const std::string& after,
                     std::vector<SettingChange>& out) {
    std::string error;
    const auto a = json::parse(before, error);
    const auto b = json::parse(after, error);
    if (!a || !b) {
        if (before != after) {
            out.push_back(
                {kIdentityFile, {}, {}, a ? kSaved : kUnreadable, b ? kSaved : kUnreadable});
        }
        return;
    }
    std::map<std::string, std::string> fa;
    std::map<std::string, std::string> fb;
    flatten(*a, {}, fa);
    flatten(*b, {}, fb);
    std::set<std::string> keys;
    for (const auto& [k, v] : fa) {
        keys.insert(k);
    }
    for (const auto& [k, v] : fb) {
        keys.insert(k);
    }
    for (const std::string& k : keys) {
        const auto x = fa.find(k);
        const auto y = fb.find(k);
        const std::string va = x == fa.end() ? kAbsent : x->second;
        const std::string vb = y == fb.end() ? kAbsent : y->second;
        if (va != vb) {
            out.push_back(
                {kIdentityFile, k, {}, bankfile::printableText(va), bankfile::printableText(vb)});
        }
    }
}

// The current values go without a label: they are what a change means unless told.
std::string fileLabel(const SettingChange& c) {
    if (c.file == kCurrentFile && !c.field.empty()) {
        return {};
    }
    return c.file.substr(0, c.file.rfind('.'));
}

}  // namespace

std::vector<SettingChange> compareControllerFiles(const ControllerFiles& before,
                                                  const ControllerFiles& after) {
    std::set<std::string> names;
    for (const auto& [name, bytes] : before) {
        names.insert(name);
    }
    for (const auto& [name, bytes] : after) {
        names.insert(name);
    }
    // The current values first, then the banks in order, then the identity.
    std::vector<std::string> order;
    if (names.count(kCurrentFile) != 0) {
        order.push_back(kCurrentFile);
    }
    for (const std::string& name : names) {
        if (name != kCurrentFile && name != kIdentityFile) {
            order.push_back(name);
        }
    }
    if (names.count(kIdentityFile) != 0) {
        order.push_back(kIdentityFile);
    }
    std::vector<SettingChange> changes;
    for (const std::string& name : order) {
        const auto a = before.find(name);
        const auto b = after.find(name);
        if (a == before.end() || b == after.end()) {
            changes.push_back({name,
                               {},
                               {},
                               a == before.end() ? kAbsent : kSaved,
                               b == after.end() ? kAbsent : kSaved});
        } else if (name == kIdentityFile) {
            compareIdentity(a->second, b->second, changes);
        } else {
            compareBankFiles(name, a->second, b->second, changes);
        }
    }
    return changes;
}

std::string describeChange(const SettingChange& c) {
    std::string text = fileLabel(c);
    if (!c.field.empty()) {
        text += (text.empty() ? "" : " ") + c.field;
    }
    if (!c.element.empty()) {
        text += " " + c.element;
    }
    // Field values come printable from the bank fields and the identity's comparison.
    return text + ": " + c.before + " -> " + c.after;
}

json::Value changeJson(const SettingChange& c) {
    json::Value v = json::Value::object();
    v.set("file", c.file);
    v.set("field", c.field);
    if (!c.element.empty()) {
        v.set("element", c.element);
    }
    v.set("before", c.before);
    v.set("after", c.after);
    return v;
}

json::Value changesJson(const std::vector<SettingChange>& changes) {
    json::Value list = json::Value::array();
    for (const SettingChange& c : changes) {
        list.push(changeJson(c));
    }
    return list;
}

}  // namespace qavix::history
