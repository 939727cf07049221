#include "MessageCatalogue.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <algorithm>
#include <string>

#include "LanguageChoice.h"
#include "ScopedLanguage.h"
#include "TempDir.h"
#include "Translate.h"
#include "comm/LinkLibrary.h"

namespace qavix::i18n {
namespace {

constexpr const char* kEnglishLoadFailed =
    "Could not load the link library (DLL). Qavix will exit.";

TEST(MessageCatalogue, TheBuildTreeHasEnglishBesideTheProgram) {
    const std::string folder = catalogueFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(hasCatalogue(folder, "en"));
    EXPECT_TRUE(hasCatalogue(folder, "ja")) << "the source language needs no catalogue";
    EXPECT_FALSE(hasCatalogue(folder, "de"));
    EXPECT_FALSE(hasCatalogue(folder, "../locale/en"));
    const std::vector<std::string> spoken = spokenLanguages(folder);
    ASSERT_GE(spoken.size(), 2u);
    EXPECT_EQ(spoken[0], "ja");
    EXPECT_NE(std::find(spoken.begin(), spoken.end(), "en"), spoken.end());
}

TEST(MessageCatalogue, SwitchesEveryTextOfTheProcessBothWays) {
    EXPECT_STREQ(translate(kLinkLoadFailedMessage), kLinkLoadFailedMessage);
    {
        test::ScopedLanguage english("en");
        ASSERT_TRUE(english.used());
        EXPECT_EQ(currentLanguage(), "en");
        EXPECT_STREQ(translate(kLinkLoadFailedMessage), kEnglishLoadFailed);
        // Japanese again in the same process: glibc's cache of the English lookup is dropped.
        ASSERT_TRUE(useLanguage(kSourceLanguage, catalogueFolder()));
        EXPECT_STREQ(translate(kLinkLoadFailedMessage), kLinkLoadFailedMessage);
        ASSERT_TRUE(useLanguage("en", catalogueFolder()));
        EXPECT_STREQ(translate(kLinkLoadFailedMessage), kEnglishLoadFailed);
    }
    EXPECT_EQ(currentLanguage(), "ja");
    EXPECT_STREQ(translate(kLinkLoadFailedMessage), kLinkLoadFailedMessage);
}

TEST(MessageCatalogue, EnglishNeedsNoGeneratedLocaleAndNoUtf8CharacterType) {
    // As on a machine with only C.UTF-8: the character type stays "C" (ASCII), yet the
    // catalogue's text comes out as written, not as question marks.
    const std::string savedType = ::setlocale(LC_CTYPE, nullptr);
    ::setlocale(LC_CTYPE, "C");
    {
        test::ScopedLanguage english("en");
        ASSERT_TRUE(english.used());
        EXPECT_STREQ(translate(kLinkLoadFailedMessage), kEnglishLoadFailed);
    }
    ::setlocale(LC_CTYPE, savedType.c_str());
}

TEST(MessageCatalogue, ALanguageWithoutCatalogueLeavesJapanese) {
    test::TempDir empty;
    EXPECT_FALSE(useLanguage("en", empty.path().string()));
    EXPECT_EQ(currentLanguage(), "ja");
    EXPECT_STREQ(translate(kLinkLoadFailedMessage), kLinkLoadFailedMessage);
    test::ScopedLanguage german("de");
    EXPECT_FALSE(german.used());
    EXPECT_STREQ(translate(kLinkLoadFailedMessage), kLinkLoadFailedMessage);
}

TEST(Fill, PutsValuesWhereTheTextWantsThem) {
    EXPECT_EQ(fill("%2 の %1", {"CH1", "光軸"}), "光軸 の CH1");
    EXPECT_EQ(fill("100%% %1%", {"ok"}), "100% ok%");
    EXPECT_EQ(fill("%1 %3", {"a"}), "a %3") << "a number without a value stays";
    EXPECT_EQ(fill("%1", {"%2"}), "%2") << "a value is never read as a pattern";
    EXPECT_EQ(fill("end %", {}), "end %");
}

}  // namespace
}  // namespace qavix::i18n
