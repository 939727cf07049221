#pragma once
// Threshold tuning on the received-light graph page: individual setting by dragging on the
// chart with its write and cancel, the batch dialog's preview, and teach and zero reset.
// Rules without drawing are in core (monitor/ThresholdTuning, monitor/BarRules).

#include <QObject>
#include <functional>
#include <vector>

#include "monitor/GraphTuning.h"
#include "monitor/ThresholdTuning.h"
#include "pages/PageContext.h"

namespace qavix {

class CView002;
class CChartWnd;
class CBatchDlg;

class CThresholdTuning : public QObject, public GraphTuning {
    Q_OBJECT
  public:
    CThresholdTuning(const PageContext& context, CView002& page);
    ~CThresholdTuning() override;

    void individualSetting() override;
    void batchSetting() override;
    bool writeThresholds() override;
    void editsCancelled() override;

    // For the batch dialog.
    CView002& page() { return m_page; }
    CChartWnd& chart();
    const SettingsData& working() const;
    // The 0-based sensors the page shows, CH1 first.
    std::vector<int> sensors() const;
    // Every shown beam's thresholds by the ratio rule with `percent` of the reference; beams
    // without a zero point keep theirs and are named once per dialog.
    void preview(int percent, bool onReference);
    // The chart's thresholds from the working set again, for the axis shown.
    void restorePreview();
    // Zero reset and teaching on every shown sensor, then the page's full load.
    void teach(tuning::TeachMode mode, bool onReference, int percent);
    // The full threshold read after the dialog, shown in ratio display.
    bool reloadThresholds();
    // Whether the batch dialog is open.
    bool batchOpen() const { return m_batch != nullptr; }
    // Tests answer the dialog instead of a user: called with the dialog once it is shown.
    void setBatchDriver(std::function<void(CBatchDlg&)> driver) { m_driver = std::move(driver); }

  private:
    void setEditing(bool on);
    // The puts of the chart's thresholds; `edited` takes the values they carry.
    std::vector<codec::PutRequest> thresholdPuts(SettingsData& edited, bool ratio);
    void recolourShownBars();

    PageContext m_context;
    CView002& m_page;
    CBatchDlg* m_batch = nullptr;
    bool m_zeroWarned = false;
    std::function<void(CBatchDlg&)> m_driver;
};

}  // namespace qavix
