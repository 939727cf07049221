#include "files/Json.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qavix::json {

Value& Value::set(const std::string& key, Value value) {
    for (auto& member : m_members) {
        if (member.first == key) {
            member.second = std::move(value);
            return member.second;
        }
    }
    m_members.emplace_back(key, std::move(value));
    return m_members.back().second;
}

Value& Value::push(Value value) {
    m_items.push_back(std::move(value));
    return m_items.back();
}

const Value* Value::find(std::string_view key) const {
    for (const auto& member : m_members) {
        if (member.first == key) {
            return &member.second;
        }
    }
    return nullptr;
}

std::string Value::stringOf(std::string_view key, const std::string& fallback) const {
    const Value* member = find(key);
    return member != nullptr && member->isString() ? member->asString() : fallback;
}

std::optional<int64_t> Value::integer() const {
    constexpr double kLargestExact = 9007199254740992.0;
    if (m_type != Type::Number || !(std::fabs(m_number) <= kLargestExact) ||
        std::floor(m_number) != m_number) {
        return std::nullopt;
    }
    return static_cast<int64_t>(m_number);
}

int Value::intOf(std::string_view key, int fallback) const {
    const Value* member = find(key);
    const std::optional<int64_t> n = member != nullptr ? member->integer() : std::nullopt;
    if (!n) {
        return fallback;
    }
    return static_cast<int>(
        std::clamp<int64_t>(*n, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

namespace {

void writeValue(Writer& out, const Value& v) {
    switch (v.type()) {
        case Value::Type::Null:
            out.null();
            return;
        case Value::Type::Bool:
            out.value(v.asBool());
            return;
        case Value::Type::Number:
            out.value(v.asNumber());
            return;
        case Value::Type::String:
            out.value(v.asString());
            return;
        case Value::Type::Array:
            out.beginArray();
            for (const Value& item : v.items()) {
                writeValue(out, item);
            }
            out.endArray();
            return;
        case Value::Type::Object:
            out.beginObject();
            for (const auto& [key, member] : v.members()) {
                out.key(key);
                writeValue(out, member);
            }
            out.endObject();
            return;
    }
}

}  // namespace

std::string write(const Value& value) {
    Writer out(Writer::Layout::Indented);
    writeValue(out, value);
    std::string text = out.take();
    text += '\n';
    return text;
}

}  // namespace qavix::json
