#include "frame/PlantSettingsPage.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

namespace qavix {

namespace {

// The label's words as a screen reader says them: without "(&U)", "&" or the colon.
QString withoutMnemonic(QString text) {
    text.remove(QRegularExpression("\\(&.\\)|&|:$"));
    return text;
}

}  // namespace

PlantSettingsPage::PlantSettingsPage(const plant::PlantSettings& settings, QWidget* parent)
    : QWidget(parent) {
    setObjectName("plantSettingsPage");
    auto* form = new QFormLayout(this);
    m_url = addField(form, tr("ブローカー URL(&U):"), "brokerUrl", false);
    m_url->setPlaceholderText("mqtt://broker:1883");
    m_caFile = addField(form, tr("CA ファイル(&C):"), "caFile", true);
    m_user = addField(form, tr("ユーザー名(&N):"), "userName", false);
    m_passwordFile = addField(form, tr("パスワードファイル(&W):"), "passwordFile", true);
    m_root = addField(form, tr("トピックルート(&T):"), "topicRoot", false);
    m_sound = new QCheckBox(tr("音でも知らせる(&S)"), this);
    m_sound->setObjectName("sound");
    form->addRow(QString(), m_sound);
    auto* note = new QLabel(
        tr("パスワードは保存しません。1 行目にパスワードを書いたファイルを指定してください。"),
        this);
    note->setWordWrap(true);
    form->addRow(note);
    showValues(settings);
}

QLineEdit* PlantSettingsPage::addField(QFormLayout* form, const QString& label, const char* name,
                                       bool browse) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setAccessibleName(withoutMnemonic(label));
    auto* caption = new QLabel(label, this);
    caption->setBuddy(edit);
    if (!browse) {
        form->addRow(caption, edit);
        return edit;
    }
    auto* row = new QHBoxLayout();
    row->addWidget(edit, 1);
    auto* choose = new QPushButton(tr("参照..."), this);
    choose->setObjectName(QString(name) + "Browse");
    choose->setAccessibleName(withoutMnemonic(label) + " " + tr("参照"));
    connect(choose, &QPushButton::clicked, this, [this, edit, label] {
        const QString file =
            QFileDialog::getOpenFileName(this, withoutMnemonic(label), edit->text());
        if (!file.isEmpty()) {
            edit->setText(file);
        }
    });
    row->addWidget(choose);
    form->addRow(caption, row);
    return edit;
}

void PlantSettingsPage::showValues(const plant::PlantSettings& s) {
    m_url->setText(QString::fromStdString(s.brokerUrl));
    m_caFile->setText(QString::fromStdString(s.caFile));
    m_user->setText(QString::fromStdString(s.username));
    m_passwordFile->setText(QString::fromStdString(s.passwordFile));
    m_root->setText(QString::fromStdString(s.topicRoot));
    m_sound->setChecked(s.sound);
}

plant::PlantSettings PlantSettingsPage::settings() const {
    plant::PlantSettings s;
    s.brokerUrl = m_url->text().trimmed().toStdString();
    s.caFile = m_caFile->text().trimmed().toStdString();
    s.username = m_user->text().trimmed().toStdString();
    s.passwordFile = m_passwordFile->text().trimmed().toStdString();
    s.topicRoot = m_root->text().trimmed().toStdString();
    s.sound = m_sound->isChecked();
    return s;
}

QString PlantSettingsPage::problem() const {
    return QString::fromStdString(plant::plantSettingsProblem(settings()));
}

void PlantSettingsPage::resetToDefaults() {
    showValues(plant::PlantSettings{});
}

}  // namespace qavix
