#pragma once
// "しきい値設定グラフモード一括設定": every shown beam's thresholds as one percentage of its
// zero-point level, chosen on a slider or typed, previewed on the chart and taught by the
// controller; also the two sensitivity presets and the zero reset.

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace qavix {

class CThresholdTuning;

class CBatchDlg : public QDialog {
    Q_OBJECT
  public:
    // How the dialog ended: closed without teaching (the page reads its thresholds again),
    // or after a teach or zero reset (which reloaded the page already).
    enum Outcome { Closed = QDialog::Accepted + 1, Taught };

    CBatchDlg(CThresholdTuning& tuning, QWidget* parent = nullptr);

    int percent() const { return m_percent; }
    bool onReference() const { return m_onReference; }
    int resultingOn() const { return m_resultOn; }
    int resultingOff() const { return m_resultOff; }
    bool previewing() const { return m_previewing; }

    QSlider* slider() const { return m_slider; }
    QLineEdit* percentEdit() const { return m_edit; }
    QRadioButton* onButton() const { return m_on; }
    QRadioButton* offButton() const { return m_off; }
    QPushButton* writeButton() const { return m_write; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* blockedMaxButton() const { return m_blockedMax; }
    QPushButton* incidentMaxButton() const { return m_incidentMax; }
    QPushButton* zeroResetButton() const { return m_zeroReset; }

    // The user's gestures, also reached from the controls.
    void moveSlider(int position);
    void typePercent(const QString& text);
    void chooseReference(bool on);
    void cancelOrClose();
    // Escape and the close box: the preview is undone and the dialog closes.
    void reject() override;

  private:
    void buildReference(QVBoxLayout* layout);
    void buildPercent(QVBoxLayout* layout);
    void buildButtons(QVBoxLayout* layout);
    void readStartingValues();
    void connectControls();
    void computeResults();
    void startPreview();
    void showPercent();
    void teach(int mode);

    CThresholdTuning& m_tuning;
    bool m_onReference = true;
    bool m_initialReference = true;
    int m_percent = 0;
    int m_resultOn = 0;
    int m_resultOff = 0;
    int m_initialOn = 0;
    int m_initialOff = 0;
    bool m_previewing = false;

    QSlider* m_slider = nullptr;
    QLineEdit* m_edit = nullptr;
    QRadioButton* m_on = nullptr;
    QRadioButton* m_off = nullptr;
    QPushButton* m_write = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_blockedMax = nullptr;
    QPushButton* m_incidentMax = nullptr;
    QPushButton* m_zeroReset = nullptr;
};

}  // namespace qavix
