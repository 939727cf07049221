#pragma once
// The parallel output page (page 12): the sensor arrangement and, for each of the two
// parallel outputs, the observed sensor, the number put out, the beam state that counts
// and the number format. Lists only, so a write is never refused.

#include <array>

#include "model/ParallelOutputs.h"
#include "pages/FieldColours.h"
#include "pages/SettingPage.h"

namespace qavix {

class CView010 : public SettingPage {
    Q_OBJECT
  public:
    // Field states: the arrangement, then per output its sensor, mode, state and format.
    enum Field : int {
        kFieldArrangement = 0,
        kFieldSensor = 1,
        kFieldMode = 2,
        kFieldState = 3,
        kFieldFormat = 4,
        kFieldsPerOutput = 4,
        kFieldCount = 1 + kFieldsPerOutput * kParallelOutputCount,
    };

    explicit CView010(const PageContext& context, QWidget* parent = nullptr);

    FieldComboBox* arrangementList() const { return m_arrangement; }
    // The list of `field` (kFieldSensor .. kFieldFormat) of output 0 or 1.
    FieldComboBox* outputList(int output, int field) const;
    // What the lists show now.
    ParallelOutputPage shown() const;

  protected:
    std::vector<PageRead> controllerReads() const override;
    void fillFromWorkingSet() override;
    bool differsFromWorkingSet() const override;
    std::vector<codec::PutRequest> pagePuts() override;
    void repaintFields() override;
    void focusFirstField() override;

  private:
    FieldComboBox* addList(int field, const QString& name);
    void listChanged(int field);
    FieldComboBox* list(int field) const { return m_lists.at(static_cast<size_t>(field)); }

    FieldComboBox* m_arrangement = nullptr;
    std::array<FieldComboBox*, kFieldCount> m_lists{};
    // The sensor index of each entry of the target-sensor lists, as last filled.
    std::array<std::vector<int>, kParallelOutputCount> m_sensorEntries;
    // Set while the lists are filled (and built), whose changes are no edits.
    bool m_filling = true;
};

}  // namespace qavix
