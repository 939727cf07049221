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

    // The sensor a monitoring page reads now (0..2, 3 for all): its heading is marked and its
    // fields are written again from `set`; -1 marks none.
    void showChannel(int channel, const SettingsData& set);
    // Whether the heading of sensor `channel` (0..2) is marked as the one shown.
    bool channelMarked(int channel) const;

    QString fieldText(int field) const { return m_values.at(static_cast<size_t>(field))->text(); }
    bool channelShown(int channel) const;

  private:
    std::array<QLabel*, kFieldCount> m_values{};
    std::array<QWidget*, kChannelCount> m_columns{};
    std::array<QLabel*, kChannelCount> m_headings{};
    int m_shownChannel = -1;
};

}  // namespace qavix
