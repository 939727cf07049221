// The configuration fingerprint: equal for units commissioned alike, different after any one
// setting of the bank file's layout changes, stable from one build to the next.

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "BankSample.h"
#include "files/BankFile.h"
#include "files/BankImport.h"
#include "files/Fingerprint.h"

namespace qavix::test {
namespace {

// The sample with every sensor at its full beam count, so that every entry of the layout
// carries a setting.
SettingsData fullSample() {
    SettingsData s = sampleBankSet();
    for (ChannelRecord& c : s.channels) {
        c.beamCount = kMaxBeams;
    }
    return s;
}

std::string sectionOf(const std::string& line) {
    return line.size() > 2 && line.front() == '[' ? line.substr(1, line.find(']') - 1) : "";
}

// Entries that hold nothing: the reader takes their place, not their value.
bool isFiller(const std::string& key) {
    return key.rfind("BLANK", 0) == 0 || key == "TEST_IN" || key == "ALM2_CONF";
}

// `value` with its last character changed to another one the entry still takes.
std::string changed(std::string value) {
    char& c = value.back();
    if (c >= '1' && c <= '9') {
        --c;
    } else if (c == '0') {
        c = '1';
    } else if (c >= 'A' && c <= 'F') {
        c = '0';
    } else {
        c = c == 'X' ? 'Y' : 'X';
    }
    return value;
}

SettingsData decoded(const std::string& text) {
    const bankfile::BlockRead blocks =
        bankfile::readBlocks(bankfile::BankFileEntries::fromText(text));
    SettingsData set;
    EXPECT_TRUE(blocks.ok()) << blocks.message;
    EXPECT_EQ(bankfile::decodeBlocks(blocks.texts, set), codec::DecodeResult::Ok);
    return set;
}

TEST(Fingerprint, UnitsCommissionedAlikeShowTheSameOne) {
    const SettingsData a = fullSample();
    SettingsData b = a;
    // What tells one unit from another, and what changes by itself.
    b.general.idText = "000202";
    b.general.serialText = "0400111";
    b.general.words[2] = 2031;  // the clock
    for (ChannelRecord& c : b.channels) {
        c.sensorId = "7F7F";
        c.receiverSerial = "99999999";
        c.emitterSerial = "88888888";
        c.absLevel.fill(55);
        c.ratioLevel.fill(66);
    }
    EXPECT_EQ(settingsFingerprint(a), settingsFingerprint(b));

    // The current values as read (nothing beyond a sensor's beams) and a bank image holding
    // them (its defaults there) are one configuration.
    SettingsData read = sampleBankSet();
    SettingsData image = read;
    for (ChannelRecord& c : read.channels) {
        for (size_t i = static_cast<size_t>(c.beamCount); i < kMaxBeams; ++i) {
            c.axisTh[i] = 0;
            c.zero[i] = 0;
        }
    }
    EXPECT_EQ(settingsFingerprint(read), settingsFingerprint(image));
}

TEST(Fingerprint, AnyOneEntryOfTheBankFileLayoutChangesIt) {
    const SettingsData base = fullSample();
    const Fingerprint original = settingsFingerprint(base);
    const bankfile::BankFileText file = bankfile::formatBankFile(base, "2.10", "", sampleTime());
    ASSERT_TRUE(file.ok) << file.error;
    std::vector<std::string> lines;
    std::istringstream in(file.text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    std::string section;
    std::map<std::string, int> unchanged;  // key -> entries whose change left it as it was
    int entries = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!sectionOf(lines[i]).empty()) {
            section = sectionOf(lines[i]);
            continue;
        }
        const size_t eq = lines[i].find('=');
        const std::string key = lines[i].substr(0, eq);
        if (eq == std::string::npos || (section.rfind("CH", 0) != 0 && section != "CONTROLLER") ||
            isFiller(key)) {
            continue;
        }
        ++entries;
        std::vector<std::string> edited = lines;
        // A sensor's beam count is at its largest already: one fewer.
        edited[i] =
            key + "=" + (key == "TYPE_1" ? std::string("7F") : changed(lines[i].substr(eq + 1)));
        std::string text;
        for (const std::string& l : edited) {
            text += l + "\r\n";
        }
        SCOPED_TRACE(lines[i] + " -> " + edited[i]);
        if (settingsFingerprint(decoded(text)) == original) {
            ++unchanged[key];
        }
    }
    EXPECT_EQ(entries, 3 * 16 + 97) << "the layout has other entries now";
    // OFF_TH is no setting of its own in a bank file: it is written ten below ON_TH.
    const std::map<std::string, int> expected = {{"OFF_TH", 3}};
    EXPECT_EQ(unchanged, expected);
}

TEST(Fingerprint, ShortFormIsTheDigestsFirstFourBytesInTwoGroups) {
    EXPECT_EQ(Fingerprint{"3f2a91c0" + std::string(56, '0')}.shortForm(), "3F2A-91C0");
    EXPECT_EQ(Fingerprint{}.shortForm(), "");
    EXPECT_FALSE(Fingerprint{}.known());
}

TEST(Fingerprint, StaysTheSameFromOneBuildToTheNext) {
    // Fingerprints are kept in journals and manifests and compared later: the canonical
    // text may not drift. A deliberate change of it names a new form in its first line.
    const std::string text = fingerprintText(sampleBankSet());
    EXPECT_EQ(text.substr(0, text.find('\n')), "qavix-fingerprint 1");
    EXPECT_NE(text.find("\nCH2.TYPE_1=128\n"), std::string::npos);
    EXPECT_NE(text.find("\nCONTROLLER.JOINT_NUM=3\n"), std::string::npos);
    EXPECT_EQ(settingsFingerprint(sampleBankSet()).shortForm(), "8CCD-782C");
}

}  // namespace
}  // namespace qavix::test
