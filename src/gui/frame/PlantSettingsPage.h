#pragma once
// The "プラント" group of the environment settings: the broker the plant window subscribes
// to (URL, CA file, user name, password file: the password itself stays in its file), the
// monitors' topic root, and whether a happening also sounds.

#include <QWidget>

#include "plant/PlantSettings.h"

class QCheckBox;
class QFormLayout;
class QLineEdit;

namespace qavix {

class PlantSettingsPage : public QWidget {
    Q_OBJECT
  public:
    explicit PlantSettingsPage(const plant::PlantSettings& settings, QWidget* parent = nullptr);

    plant::PlantSettings settings() const;
    // Why the values cannot be stored, or empty.
    QString problem() const;
    void resetToDefaults();

    QLineEdit* urlEdit() const { return m_url; }
    QLineEdit* caFileEdit() const { return m_caFile; }
    QLineEdit* userEdit() const { return m_user; }
    QLineEdit* passwordFileEdit() const { return m_passwordFile; }
    QLineEdit* rootEdit() const { return m_root; }
    QCheckBox* soundBox() const { return m_sound; }

  private:
    QLineEdit* addField(QFormLayout* form, const QString& label, const char* name, bool browse);
    void showValues(const plant::PlantSettings& settings);

    QLineEdit* m_url = nullptr;
    QLineEdit* m_caFile = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_passwordFile = nullptr;
    QLineEdit* m_root = nullptr;
    QCheckBox* m_sound = nullptr;
};

}  // namespace qavix
