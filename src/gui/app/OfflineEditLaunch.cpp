#include "app/OfflineEditLaunch.h"

#include <QFileInfo>
#include <QMessageBox>
#include <cstdlib>
#include <ctime>
#include <iostream>

#include "Translate.h"
#include "state/UiText.h"

namespace qavix {

std::optional<OfflineEditFile> openOfflineEdit(const std::string& path, const PortSettings& ports) {
    const QString absolute = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    OfflineEditFile file;
    const bankfile::ImportResult opened = file.open(absolute.toStdString());
    if (!opened.ok()) {
        std::cerr << "qavix: " << absolute.toStdString() << ": " << opened.message << '\n';
        if (!opened.reason.empty()) {
            std::cerr << "qavix: " << opened.reason << '\n';
        }
        QMessageBox::critical(nullptr, "Qavix", QString::fromStdString(opened.message));
        return std::nullopt;
    }
    // The active port (whatever Qavix.ini names) becomes the emulator holding the file's
    // controller, so the program runs as it does on a cable and nothing in Qavix.ini changes.
    // The emulator gets the image this program decoded, not the file's name: it never reads
    // the file itself, and no path ends up in option text it would take apart.
    const std::optional<std::string> options =
        offlineEmulatorOptions(file.imageText(), ports.activeMachine);
    if (!options) {
        std::cerr << "qavix: " << absolute.toStdString() << ": "
                  << i18n::translate(bankfile::kInvalidDataMessage) << '\n';
        QMessageBox::critical(nullptr, "Qavix", coreText(bankfile::kInvalidDataMessage));
        return std::nullopt;
    }
    const std::string variable = "QAVLINK_COM" + std::to_string(ports.activePort + 1);
    setenv(variable.c_str(), options->c_str(), 1);
    return file;
}

OfflineEditing offlineEditingOf(OfflineEditFile& file, const DeviceModel& model) {
    auto currentValues = [&model]() -> const SettingsData& {
        // The working set holds the current values while they are shown.
        return model.selectedSet() == kCurrentSet
                   ? static_cast<const SettingsData&>(model.working())
                   : model.storedSet(kCurrentSet);
    };
    return OfflineEditing{QString::fromStdString(file.path()),
                          [&file, currentValues] { return file.isModified(currentValues()); },
                          [&file, currentValues] {
                              const std::time_t now = std::time(nullptr);
                              std::tm local{};
                              localtime_r(&now, &local);
                              const fileio::WriteResult written = file.save(currentValues(), local);
                              return written.ok ? QString() : QString::fromStdString(written.error);
                          }};
}

}  // namespace qavix
