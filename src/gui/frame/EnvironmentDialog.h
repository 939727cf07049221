#pragma once
// "環境設定": the monitoring interval, blanking display, the nine display colours, splash,
// web links and button style, on three tabs of property lists, and below them the language
// of the interface, which takes effect on the next start. OK stores the values into the
// settings it was given; the main frame applies and saves them.

#include <QDialog>
#include <array>

#include "files/AppSettings.h"
#include "files/EnvironmentItems.h"
#include "plant/PlantSettings.h"

class QComboBox;
class QTabWidget;

namespace qavix {

class CPictureButton;
class PlantSettingsPage;
class PropertyList;

class EnvironmentDialog : public QDialog {
    Q_OBJECT
  public:
    // With `plant`, a tab "プラント" edits the plant window's broker settings too.
    EnvironmentDialog(AppSettings& settings, QWidget* parent = nullptr,
                      plant::PlantSettings* plant = nullptr);
    PlantSettingsPage* plantPage() const { return m_plantPage; }

    PropertyList* list(int tab) const { return m_lists.at(static_cast<size_t>(tab)); }
    QTabWidget* tabs() const { return m_tabs; }
    // Language= of Qavix.ini: "auto" first, then each language the program speaks.
    QComboBox* languages() const { return m_languages; }
    // The value text of an item as the list holds it now.
    QString text(int item) const;
    void setText(int item, const QString& text);

    // "初期値": the items of the shown tab go back to their defaults.
    void resetShownTab();
    // "設定": checks and stores; stays open with a message when the interval is wrong.
    void confirm();

  private:
    int rowOf(int item) const;

    AppSettings& m_settings;
    plant::PlantSettings* m_plant = nullptr;
    PlantSettingsPage* m_plantPage = nullptr;
    QTabWidget* m_tabs = nullptr;
    QComboBox* m_languages = nullptr;
    std::array<PropertyList*, env::kTabCount> m_lists{};
    CPictureButton* m_ok = nullptr;
    CPictureButton* m_cancel = nullptr;
    CPictureButton* m_defaults = nullptr;
};

}  // namespace qavix
