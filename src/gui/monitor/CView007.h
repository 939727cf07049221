#pragma once
// The blanking-beam page (page 9): the beams of one sensor, or of all connected sensors, on
// the level chart in designation mode. A left drag over bars picks them, a right drag
// unpicks them; the command bar adds the incident or blocked beams, clears, writes and
// cancels. Picked bars are painted in the spare colour, the others in their state colour;
// beams the controller blanks now show the blanked background above their bar.

#include <QPointer>

#include "monitor/BeamPage.h"
#include "monitor/CChartWnd.h"
#include "monitor/CLegendDlg.h"
#include "pages/PageIndex.h"

namespace qavix {

class CView007 : public BeamPage {
    Q_OBJECT
  public:
    static constexpr int kPageIndex = nav::kPageBlanking;
    static constexpr int kInitialScaleStep = 2;

    explicit CView007(const PageContext& context, QWidget* parent = nullptr);
    ~CView007() override;

    CChartWnd* chart() const { return m_chart; }

    // Ratio (percent axis) or absolute display; the levels of the new display are read.
    void setDisplayMode(bool ratio);
    void setScaleStep(int step);
    void setVisibleBars(int count);
    // The legend, with the blanked-beam entry named after the picks in designated mode.
    CLegendDlg* showLegend();

  protected:
    void rebuild() override;
    void redraw() override;
    void hideEvent(QHideEvent* event) override;

  private:
    void takeChartPicks();

    CChartWnd* m_chart = nullptr;
    CLegendDlg* m_legend = nullptr;
    int m_scaleStep = kInitialScaleStep;
};

}  // namespace qavix
