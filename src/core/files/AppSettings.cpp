#include "files/AppSettings.h"

#include "files/ProfileFile.h"

namespace qavix {

namespace {

struct ColorKey {
    const char* key;
    const char* defaultText;
};

// In ColorIndex order.
constexpr ColorKey kColorKeys[kColorCount] = {
    {"ColorNyukou", "30,200,30"},      {"ColorFuantei", "240,240,0"},
    {"ColorSyakou", "255,50,50"},      {"ColorBlankBar", "128,128,128"},
    {"ColorBlankBack", "192,192,192"}, {"ColorOn", "20,20,255"},
    {"ColorOff", "255,0,0"},           {"ColorScanOn", "0,255,0"},
    {"ColorScanOff", "128,128,128"},   {"ColorChangeCtl", "255,255,150"},
    {"ColorSpare", "255,128,192"},
};

// The colours that the environment settings dialog lets the user change and that are saved.
constexpr ColorIndex kSavedColors[] = {kColorNyukou,   kColorFuantei,   kColorSyakou,
                                       kColorBlankBar, kColorBlankBack, kColorOn,
                                       kColorOff,      kColorScanOn,    kColorScanOff};

constexpr const char* kDefaultWebAddr = "https://www.example.com/sensing/";
constexpr const char* kDefaultHomeAddr = "https://www.example.com/";

}  // namespace

const char* colorKey(ColorIndex index) {
    return kColorKeys[index].key;
}
const char* colorDefaultText(ColorIndex index) {
    return kColorKeys[index].defaultText;
}

AppSettings::AppSettings() : webAddr(kDefaultWebAddr), homeAddr(kDefaultHomeAddr) {
    for (int i = 0; i < kColorCount; ++i) {
        colors[i] = parseColor(kColorKeys[i].defaultText, kColorKeys[i].defaultText);
    }
}

AppSettings AppSettings::load(const ProfileFile& profile) {
    AppSettings s;
    s.interval = profile.getInt(kMainSection, "Interval", s.interval);
    s.splash = profile.getInt(kOptionSection, "Splash", s.splash);
    s.splashTime = profile.getInt(kMainSection, "SplashTime", s.splashTime);
    s.browser = profile.getInt(kOptionSection, "Browser", s.browser);
    s.eMail = profile.getInt(kMainSection, "E-Mail", s.eMail);
    s.blanking = profile.getInt(kMainSection, "Blanking", s.blanking);
    s.button = profile.getInt(kOptionSection, "Button", s.button);
    for (int i = 0; i < kColorCount; ++i) {
        const ColorKey& key = kColorKeys[i];
        s.colors[i] =
            parseColor(profile.getString(kColorSection, key.key, key.defaultText), key.defaultText);
    }
    s.webAddr = profile.getString(kMainSection, "WebAddr", kDefaultWebAddr);
    s.homeAddr = profile.getString(kMainSection, "HomeAddr", kDefaultHomeAddr);
    s.show = profile.getInt(kMainSection, "Show", s.show);
    s.language = profile.getString(i18n::kLanguageSection, i18n::kLanguageKey, s.language);
    s.journal = JournalSettings::load(profile);
    return s;
}

void AppSettings::save(ProfileFile& profile) const {
    profile.setInt(kMainSection, "Interval", interval);
    profile.setInt(kOptionSection, "Splash", splash);
    profile.setInt(kOptionSection, "Browser", browser);
    profile.setInt(kMainSection, "Blanking", blanking);
    profile.setInt(kOptionSection, "Button", button);
    for (ColorIndex index : kSavedColors) {
        profile.setString(kColorSection, kColorKeys[index].key, formatColor(colors[index]));
    }
    if (language != i18n::kAutomatic ||
        profile.value(i18n::kLanguageSection, i18n::kLanguageKey).has_value()) {
        profile.setString(i18n::kLanguageSection, i18n::kLanguageKey, language);
    }
    journal.save(profile);
}

}  // namespace qavix
