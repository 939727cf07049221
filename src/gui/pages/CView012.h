#pragma once
// The option settings page (page 14, extended mode): the controller's optional functions
// as check boxes. The measurement-processing switches decide which pages the navigation
// tree offers; the tree takes a written change the next time it becomes active.

#include <QCheckBox>
#include <array>

#include "model/OptionSwitches.h"
#include "pages/SettingPage.h"

namespace qavix {

class CView012 : public SettingPage {
    Q_OBJECT
  public:
    static constexpr const char* kReadFailedMessage =
        QT_TRANSLATE_NOOP("qavix::CView012", "コントローラ読込みできません");

    explicit CView012(const PageContext& context, QWidget* parent = nullptr);

    QCheckBox* box(int index) const { return m_boxes.at(static_cast<size_t>(index)); }
    OptionStates shown() const;

    void pageShown(const QString& title) override;

  protected:
    std::vector<PageRead> controllerReads() const override;
    void fillFromWorkingSet() override;
    bool differsFromWorkingSet() const override;
    std::vector<codec::PutRequest> pagePuts() override;
    void repaintFields() override;
    void focusFirstField() override;
    void readFailed() override;
    void written(bool ok) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void boxToggled(int index);
    void setBoxesEnabled(bool on);

    std::array<QCheckBox*, kOptionSwitchCount> m_boxes{};
};

}  // namespace qavix
