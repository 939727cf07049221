#pragma once
// The controls of the communication settings dialog and their layout: ports with where each
// leads and the device list, line settings, unit number, the connection status, the test
// and the dialog's buttons. Built in one place so the dialog keeps to its behaviour.

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <array>

#include "files/PortSettings.h"

namespace qavix {

class CPictureButton;

// A port's "where it leads" label is elided to this width.
inline constexpr int kPortTargetMinWidth = 230;

struct CommSettingsForm {
    std::array<QRadioButton*, kPortCount> port{};
    std::array<QRadioButton*, 6> baud{};
    std::array<QRadioButton*, 2> byte{};
    std::array<QRadioButton*, 2> parity{};
    std::array<QRadioButton*, 2> stop{};
    // Each group's ids are the indices above.
    QButtonGroup* portGroup = nullptr;
    QButtonGroup* baudGroup = nullptr;
    QButtonGroup* byteGroup = nullptr;
    QButtonGroup* parityGroup = nullptr;
    QButtonGroup* stopGroup = nullptr;
    QComboBox* unit = nullptr;
    QComboBox* devices = nullptr;
    std::array<QLabel*, kPortCount> target{};
    QLabel* error = nullptr;
    CPictureButton* rescan = nullptr;
    // The device server fields, shown while the port's choice is the network.
    QWidget* networkRow = nullptr;
    QLineEdit* host = nullptr;
    QLineEdit* networkPort = nullptr;
    QComboBox* protocol = nullptr;  // 0 TCP, 1 RFC 2217
    QLabel* networkProblemLabel = nullptr;
    QLabel* status = nullptr;
    CPictureButton* test = nullptr;
    CPictureButton* ok = nullptr;
    CPictureButton* cancel = nullptr;
};

// Lays the controls out in `dialog`, buttons drawn in the user's `buttonStyle`; `unitCount`
// units are listed. Connects nothing.
CommSettingsForm buildCommSettingsForm(QDialog& dialog, int buttonStyle, int unitCount,
                                       const QString& notConnectedText);

}  // namespace qavix
