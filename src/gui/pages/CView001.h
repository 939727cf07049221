#pragma once
// The basic information page: what identifies the connected controller and how
// fast it answers, read fresh from the controller the first time the page is shown, and
// its identification number, the one value the user may change; below them the
// configuration fingerprint of the settings shown.

#include <QLineEdit>
#include <array>

#include "pages/SettingPage.h"

namespace qavix {

class CView001 : public SettingPage {
    Q_OBJECT
  public:
    static constexpr int kFieldCount = 8;
    static constexpr int kIdField = 2;  // of the eight boxes, in the order shown

    explicit CView001(const PageContext& context, QWidget* parent = nullptr);

    QLineEdit* box(int index) const { return m_boxes.at(static_cast<size_t>(index)); }
    QLineEdit* idBox() const { return box(kIdField); }
    QLineEdit* fingerprintBox() const { return m_fingerprint; }

  protected:
    std::vector<PageRead> controllerReads() const override;
    void fillFromWorkingSet() override;
    bool differsFromWorkingSet() const override;
    bool checkFields() override;
    std::vector<codec::PutRequest> pagePuts() override;
    void repaintFields() override;
    void focusFirstField() override;
    void hideEvent(QHideEvent* event) override;

  private:
    void onIdEdited(const QString& text);
    void refuseId();

    std::array<QLineEdit*, kFieldCount> m_boxes{};
    QLineEdit* m_fingerprint = nullptr;
};

}  // namespace qavix
