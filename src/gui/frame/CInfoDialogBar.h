#pragma once
// The information bar: beam count and pitch of each connected sensor.

#include <QLabel>
#include <array>

#include "frame/DialogBar.h"
#include "model/DeviceData.h"

namespace qavix {

class CInfoDialogBar : public DialogBar {
    Q_OBJECT
  public:
    static constexpr int kFieldCount = 6;

    explicit CInfoDialogBar(QWidget* parent = nullptr);

    // Field 2k is the beam count of sensor k+1, field 2k+1 its pitch text.
    void updateField(int field, const SettingsData& set);
    void fillAll(const SettingsData& set);
    // Shows the CH2 and CH3 columns for the number of sensors.
    void layoutFor(int sensorCount);

    QString fieldText(int field) const { return m_values.at(static_cast<size_t>(field))->text(); }
    bool channelShown(int channel) const;

  private:
    std::array<QLabel*, kFieldCount> m_values{};
    std::array<QWidget*, kChannelCount> m_columns{};
};

}  // namespace qavix
