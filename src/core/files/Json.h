#pragma once
// A small JSON document model: enough to write the backup manifest and the drift report for
// scripts, and to read a manifest back. Objects keep their keys in the order they were set,
// so what a person reads in the file follows the order the program chose.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/JsonWriter.h"

namespace qavix::json {

class Value {
  public:
    enum class Type { Null, Bool, Number, String, Array, Object };

    Value() = default;
    Value(bool b) : m_type(Type::Bool), m_bool(b) {}        // NOLINT: a literal reads as its value
    Value(int n) : Value(static_cast<double>(n)) {}         // NOLINT
    Value(int64_t n) : Value(static_cast<double>(n)) {}     // NOLINT
    Value(uint64_t n) : Value(static_cast<double>(n)) {}    // NOLINT
    Value(double n) : m_type(Type::Number), m_number(n) {}  // NOLINT
    Value(std::string s) : m_type(Type::String), m_string(std::move(s)) {}  // NOLINT
    Value(const char* s) : Value(std::string(s)) {}                         // NOLINT

    static Value array() { return Value(Type::Array); }
    static Value object() { return Value(Type::Object); }

    Type type() const { return m_type; }
    bool isObject() const { return m_type == Type::Object; }
    bool isArray() const { return m_type == Type::Array; }
    bool isString() const { return m_type == Type::String; }
    bool isNumber() const { return m_type == Type::Number; }

    bool asBool() const { return m_bool; }
    double asNumber() const { return m_number; }
    const std::string& asString() const { return m_string; }
    const std::vector<Value>& items() const { return m_items; }
    const std::vector<std::pair<std::string, Value>>& members() const { return m_members; }

    // Objects: replaces the member of that key or appends it.
    Value& set(const std::string& key, Value value);
    // Arrays: appends.
    Value& push(Value value);
    // Objects: the member of that key, or null.
    const Value* find(std::string_view key) const;
    // The member's text when it is a string, else `fallback`.
    std::string stringOf(std::string_view key, const std::string& fallback = {}) const;
    // A whole number within the range a double holds exactly (2^53 either way); nothing for
    // another value, so an edited document cannot make a cast overflow.
    std::optional<int64_t> integer() const;
    // The member's whole number clamped to int, else `fallback`.
    int intOf(std::string_view key, int fallback = 0) const;

  private:
    explicit Value(Type type) : m_type(type) {}

    Type m_type = Type::Null;
    bool m_bool = false;
    double m_number = 0;
    std::string m_string;
    std::vector<Value> m_items;
    std::vector<std::pair<std::string, Value>> m_members;
};

// Indented by two blanks per level, ending in a line break (through json::Writer).
std::string write(const Value& value);

// Nothing, with the reason and the byte offset in `error`, when `text` is not one JSON value
// (blanks around it allowed) or nests deeper than kMaxDepth.
constexpr int kMaxDepth = 64;
std::optional<Value> parse(std::string_view text, std::string& error);

}  // namespace qavix::json
