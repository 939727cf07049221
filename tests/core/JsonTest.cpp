// The program's JSON: the documents of the backup manifest and the drift report and the
// monitor's compact payloads come from one writer; what is written reads back the same, in
// any locale, and what is not JSON is refused with where it went wrong.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "TempDir.h"
#include "TestLocale.h"
#include "files/Json.h"
#include "files/JsonWriter.h"

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

TEST(JsonWriter, CompactPayloadsWithFixedDecimals) {
    Writer j;
    j.beginObject().key("a").beginArray().value(1).value(-2).endArray();
    j.key("b").fixed(131.0, 1).key("c").null().key("d").value(true);
    j.key("e").beginObject().endObject().key("f").fixed(1.0 / 0.0, 1).endObject();
    EXPECT_EQ(j.text(), R"({"a":[1,-2],"b":131.0,"c":null,"d":true,"e":{},"f":null})");
    std::string out;
    appendString(out, "a\"b\\c\n\x01\x7f 受光 \xff\xe3\x81");
    EXPECT_EQ(out, "\"a\\\"b\\\\c\\n\\u0001\\u007f 受光 \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");
}

// A locale whose decimal point is a comma, built for the test: the machine may have none.
class DecimalCommaLocale : public ::testing::Test {
  protected:
    void SetUp() override {
        test::compileLocale(m_dir,
                            "LC_CTYPE\ncopy \"POSIX\"\nEND LC_CTYPE\n"
                            "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\n"
                            "grouping 3;3\nEND LC_NUMERIC\n",
                            "xx_XX.UTF-8");
        const char* old = std::getenv("LOCPATH");
        m_oldPath = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        m_oldLocale = std::setlocale(LC_NUMERIC, nullptr);
        ::setenv("LOCPATH", m_dir.path().c_str(), 1);
        if (std::setlocale(LC_NUMERIC, "xx_XX.UTF-8") == nullptr) {
            GTEST_SKIP() << "localedef could not build a decimal-comma locale";
        }
    }
    void TearDown() override {
        std::setlocale(LC_NUMERIC, m_oldLocale.c_str());
        m_oldPath ? ::setenv("LOCPATH", m_oldPath->c_str(), 1) : ::unsetenv("LOCPATH");
    }

  private:
    test::TempDir m_dir;
    std::optional<std::string> m_oldPath;
    std::string m_oldLocale;
};

TEST_F(DecimalCommaLocale, NumbersStayJson) {
    char printed[16];
    std::snprintf(printed, sizeof printed, "%.1f", 1.5);
    ASSERT_STREQ(printed, "1,5");  // the locale is in force
    Writer j;
    j.beginArray().fixed(112.0, 1).value(0.25).value(int64_t{-7}).endArray();
    EXPECT_EQ(j.text(), "[112.0,0.25,-7]");
    Value doc = Value::object();
    doc.set("fraction", 1.5);
    std::string error;
    const auto back = parse(write(doc), error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->find("fraction")->asNumber(), 1.5);
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
