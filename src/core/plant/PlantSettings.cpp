#include "plant/PlantSettings.h"

#include "IniText.h"
#include "Translate.h"
#include "broker/BrokerFiles.h"
#include "files/ProfileFile.h"
#include "plant/PlantTopics.h"

namespace qavix::plant {

namespace {

constexpr const char* kUrlKey = "BrokerUrl";
constexpr const char* kCaKey = "CaFile";
constexpr const char* kUserKey = "User";
constexpr const char* kPasswordFileKey = "PasswordFile";
constexpr const char* kRootKey = "TopicRoot";
constexpr const char* kSoundKey = "Sound";

// A plant view's login must not take the session of another one, nor of a monitor.
constexpr const char* kClientName = "plant";

}  // namespace

PlantSettings PlantSettings::load(const ProfileFile& profile) {
    PlantSettings s;
    s.brokerUrl = profile.getString(kSection, kUrlKey, "");
    s.caFile = profile.getString(kSection, kCaKey, "");
    s.username = profile.getString(kSection, kUserKey, "");
    s.passwordFile = profile.getString(kSection, kPasswordFileKey, "");
    s.topicRoot = profile.getString(kSection, kRootKey, s.topicRoot);
    if (s.topicRoot.empty()) {
        s.topicRoot = telemetry::kTopicRoot;
    }
    s.sound = profile.getInt(kSection, kSoundKey, 0) != 0;
    return s;
}

void PlantSettings::save(ProfileFile& profile) const {
    profile.setString(kSection, kUrlKey, brokerUrl);
    profile.setString(kSection, kCaKey, caFile);
    profile.setString(kSection, kUserKey, username);
    profile.setString(kSection, kPasswordFileKey, passwordFile);
    profile.setString(kSection, kRootKey, topicRoot);
    profile.setInt(kSection, kSoundKey, sound ? 1 : 0);
}

std::string plantSettingsProblem(const PlantSettings& s) {
    if (s.brokerUrl.empty()) {
        return {};
    }
    std::string error;
    const auto url = telemetry::parseBrokerUrl(s.brokerUrl, error);
    if (!url) {
        return i18n::fill(QX_("ブローカー URL が正しくありません: %1"), {error});
    }
    if (!s.caFile.empty() && !url->tls) {
        return QX_("CA ファイルは mqtts:// のブローカーにだけ使えます");
    }
    if (!s.passwordFile.empty() && s.username.empty()) {
        return QX_("パスワードファイルにはユーザー名が必要です");
    }
    if (const std::string why = topicRootProblem(s.topicRoot); !why.empty()) {
        return i18n::fill(QX_("トピックルート \"%1\" は使えません: %2"),
                          {ini::printable(s.topicRoot), why});
    }
    for (const auto& [label, path] :
         {std::pair{QX_("CA ファイル"), s.caFile}, {QX_("パスワードファイル"), s.passwordFile}}) {
        if (!path.empty()) {
            if (const std::string why = broker::unreadableFile(label, path); !why.empty()) {
                return why;
            }
        }
    }
    return {};
}

std::optional<broker::MqttOptions> plantBrokerOptions(const PlantSettings& s, std::string& error) {
    if (s.brokerUrl.empty()) {
        error = QX_("ブローカーが設定されていません (環境設定の「プラント」)");
        return std::nullopt;
    }
    if (error = plantSettingsProblem(s); !error.empty()) {
        return std::nullopt;
    }
    broker::MqttOptions o;
    o.broker = *telemetry::parseBrokerUrl(s.brokerUrl, error);
    o.caFile = s.caFile;
    o.username = s.username;
    if (!s.passwordFile.empty()) {
        o.password = broker::readPasswordFile(QX_("パスワードファイル"), s.passwordFile, error);
        if (!error.empty()) {
            return std::nullopt;
        }
    }
    o.clientId = broker::uniqueClientId(kClientName);
    o.subscriptions = plantSubscriptions(s.topicRoot);
    return o;
}

}  // namespace qavix::plant
