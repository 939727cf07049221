#pragma once
// The user settings of Qavix.ini: monitoring interval, splash, web links, button style,
// blanking page choice, the display colours, the language and the change journal's, with their
// defaults.

#include <string>

#include "LanguageChoice.h"
#include "files/ColorValue.h"
#include "journal/JournalSettings.h"

namespace qavix {

class ProfileFile;

// Index of each display colour in AppSettings::colors.
enum ColorIndex : int {
    kColorNyukou,     // light received (入光)
    kColorFuantei,    // unstable light (不安定)
    kColorSyakou,     // light blocked (遮光)
    kColorBlankBar,   // blanking bar
    kColorBlankBack,  // blanking background
    kColorOn,
    kColorOff,
    kColorScanOn,
    kColorScanOff,
    kColorChangeCtl,  // read and kept; nothing draws with it
    kColorSpare,      // selected beams in the level chart
    kColorCount,
};

struct AppSettings {
    static constexpr const char* kMainSection = "Qavix_Section";
    static constexpr const char* kOptionSection = "Option";
    static constexpr const char* kColorSection = "Color";

    int interval = 200;  // monitoring interval, ms
    int splash = 1;
    int splashTime = 4000;  // ms
    int browser = 1;        // web-address links active
    int eMail = 1;          // read and kept; nothing uses it
    int blanking = 0;       // 1: the blanking buttons open the beam-designation page
    int button = 0;         // button texture style
    int show = 5;           // show command of the main window; the main frame writes it
    std::string webAddr;
    std::string homeAddr;
    ColorValue colors[kColorCount] = {};
    // [Environment] Language=: "auto", "ja", "en" (i18n/LanguageChoice), as written.
    std::string language = i18n::kAutomatic;
    // Section [Journal]: the journal's folder (only ever read) and the reason prompt.
    JournalSettings journal;

    AppSettings();

    // Reads every key; missing keys and malformed colours take their defaults.
    static AppSettings load(const ProfileFile& profile);

    // Writes the keys the user can change, in a fixed order. SplashTime, E-Mail,
    // ColorChangeCtl, ColorSpare, WebAddr and HomeAddr are only ever read; Show belongs to
    // the main frame's placement. Language is written once it is set or was there, so a
    // file that never chose one stays as it was.
    void save(ProfileFile& profile) const;
};

const char* colorKey(ColorIndex index);
const char* colorDefaultText(ColorIndex index);

}  // namespace qavix
