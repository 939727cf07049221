#pragma once
// The received-light list's controls in the list command bar: "更新", "連続更新", "表示CH",
// "書込み" and "取消し". The page (CView003) connects them; "保存" is the bar's own.

#include <QComboBox>
#include <QWidget>

#include "widgets/CPictureButton.h"

namespace qavix {

class CLevelListBar : public QWidget {
    Q_OBJECT
  public:
    explicit CLevelListBar(QWidget* parent = nullptr);

    CPictureButton* updateButton() const { return m_update; }
    CPictureButton* continuousButton() const { return m_continuous; }
    QComboBox* channelCombo() const { return m_channel; }
    CPictureButton* writeButton() const { return m_write; }
    CPictureButton* cancelButton() const { return m_cancel; }

    // Idle: all on, "書込み"/"取消し" as the edits say. Running: only "停止".
    void showIdle(bool edited);
    void showRunning();
    void setWriteText(const QString& text);

  private:
    CPictureButton* m_update = nullptr;
    CPictureButton* m_continuous = nullptr;
    QComboBox* m_channel = nullptr;
    CPictureButton* m_write = nullptr;
    CPictureButton* m_cancel = nullptr;
};

}  // namespace qavix
