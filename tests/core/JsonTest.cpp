// The JSON of the backup manifest and the drift report: what is written reads back the same,
// and what is not JSON is refused with where it went wrong.

#include <gtest/gtest.h>

#include <string>

#include "files/Json.h"

namespace qavix::json {
namespace {

TEST(Json, WrittenDocumentReadsBackWithItsOrderAndValues) {
    Value doc = Value::object();
    doc.set("name", "ライン1 \"north\"\\");
    doc.set("unit", 12);
    doc.set("size", uint64_t{4294967296});
    doc.set("ok", true);
    doc.set("none", Value());
    doc.set("fraction", 0.25);
    Value& files = doc.set("files", Value::array());
    files.push("a\tb\r\n\x01");
    files.push(Value::object());
    doc.set("unit", 13);  // replaces, keeps its place

    const std::string text = write(doc);
    EXPECT_NE(text.find("\"unit\": 13,\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\\u0001"), std::string::npos) << text;
    std::string error;
    const std::optional<Value> back = parse(text, error);
    ASSERT_TRUE(back) << error << "\n" << text;
    ASSERT_EQ(back->members().size(), 7u);
    EXPECT_EQ(back->members()[1].first, "unit");
    EXPECT_EQ(back->stringOf("name"), "ライン1 \"north\"\\");
    EXPECT_EQ(back->find("unit")->asNumber(), 13);
    EXPECT_EQ(back->find("size")->asNumber(), 4294967296.0);
    EXPECT_TRUE(back->find("ok")->asBool());
    EXPECT_EQ(back->find("none")->type(), Value::Type::Null);
    EXPECT_EQ(back->find("fraction")->asNumber(), 0.25);
    ASSERT_EQ(back->find("files")->items().size(), 2u);
    EXPECT_EQ(back->find("files")->items()[0].asString(), "a\tb\r\n\x01");
    EXPECT_EQ(back->find("missing"), nullptr);
    EXPECT_EQ(back->stringOf("unit", "fallback"), "fallback");
}

TEST(Json, BytesThatAreNotUtf8AreWrittenAsReplacementCharacters) {
    // A text from the controller that is not UTF-8 must not make the whole file unreadable.
    const std::string text = write(Value(std::string("ok\xff\xc0\x80 \xed\xa0\x80")));
    std::string error;
    const auto back = parse(text, error);
    ASSERT_TRUE(back) << error << text;
    EXPECT_EQ(back->asString(),
              "ok\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Json, EscapesAndSurrogatePairsAreDecoded) {
    std::string error;
    const auto v = parse(R"(["\u00e9\/\b\f", "\ud83d\ude00", -1.5e2, 0, [], {}])", error);
    ASSERT_TRUE(v) << error;
    EXPECT_EQ(v->items()[0].asString(), "\xC3\xA9/\b\f");
    EXPECT_EQ(v->items()[1].asString(), "\xF0\x9F\x98\x80");
    EXPECT_EQ(v->items()[2].asNumber(), -150);
    EXPECT_EQ(v->items()[3].asNumber(), 0);
}

TEST(Json, MalformedTextIsRefusedWithItsPlace) {
    const char* bad[] = {
        "",         "{",           "{\"a\" 1}",   "{\"a\":1,}", "[1 2]", "[1,]",
        "01",       "1.",          "-",           "1e",         "tru",   "\"abc",
        "\"\\x\"",  "\"\\ud800\"", "\"\\udc00\"", "\"a\nb\"",   "{1:2}", "[] []",
        "\"\xff\"", "nul",         "1e999",
    };
    for (const char* text : bad) {
        std::string error;
        EXPECT_FALSE(parse(text, error)) << text;
        EXPECT_NE(error.find("at byte"), std::string::npos) << text << ": " << error;
    }
}

TEST(Json, WholeNumbersAreReadOnlyWhenTheyFit) {
    std::string error;
    const auto v =
        parse(R"({"a": -3, "b": 1.5, "c": 1e30, "d": 1e12, "e": "7", "f": 1e16})", error);
    ASSERT_TRUE(v) << error;
    EXPECT_EQ(v->find("a")->integer(), -3);
    EXPECT_FALSE(v->find("b")->integer());
    EXPECT_FALSE(v->find("c")->integer());
    EXPECT_EQ(v->find("d")->integer(), 1000000000000);
    EXPECT_FALSE(v->find("e")->integer());
    EXPECT_FALSE(v->find("f")->integer());  // beyond 2^53, no longer exact
    EXPECT_EQ(v->intOf("a"), -3);
    EXPECT_EQ(v->intOf("d"), 2147483647);
    EXPECT_EQ(v->intOf("c", 42), 42);
    EXPECT_EQ(v->intOf("missing", 5), 5);
}

TEST(Json, DeepNestingIsRefusedInsteadOfExhaustingTheStack) {
    std::string error;
    const std::string deep(100000, '[');
    EXPECT_FALSE(parse(deep, error));
    EXPECT_NE(error.find("nested too deeply"), std::string::npos) << error;
    const std::string fine = std::string(kMaxDepth, '[') + std::string(kMaxDepth, ']');
    EXPECT_TRUE(parse(fine, error)) << error;
}

}  // namespace
}  // namespace qavix::json
