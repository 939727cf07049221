#include "frame/EnvironmentDialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "LanguageChoice.h"
#include "frame/PlantSettingsPage.h"
#include "state/ProgramLanguages.h"
#include "widgets/CPictureButton.h"
#include "widgets/PropertyList.h"

namespace qavix {

namespace {

constexpr int kListWidth = 370;
constexpr int kListHeight = 270;
constexpr const char* kTabNames[env::kTabCount] = {
    QT_TRANSLATE_NOOP("qavix::EnvironmentDialog", "動作"),
    QT_TRANSLATE_NOOP("qavix::EnvironmentDialog", "色"),
    QT_TRANSLATE_NOOP("qavix::EnvironmentDialog", "その他")};

PropertyList::Editor editorOf(env::Editor e) {
    switch (e) {
        case env::Editor::Choice:
            return PropertyList::Editor::Choice;
        case env::Editor::Colour:
            return PropertyList::Editor::Colour;
        case env::Editor::Text:
            break;
    }
    return PropertyList::Editor::Text;
}

QStringList choicesOf(int item) {
    QStringList out;
    for (const std::string& c : env::itemChoices(item)) {
        out << QString::fromStdString(c);
    }
    return out;
}

CPictureButton* makeButton(const QString& text, ButtonTexture texture, QWidget* parent) {
    auto* b = new CPictureButton(parent);
    b->setText(text);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setMinimumSize(84, 28);
    b->setTexture(texture);
    return b;
}

QComboBox* languageList(const std::string& current, const QString& automatic, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName("languageList");
    list->addItem(automatic, QString(i18n::kAutomatic));
    for (const std::string& language : programLanguages()) {
        list->addItem(languageName(language), QString::fromStdString(language));
    }
    int index = list->findData(QString::fromStdString(current));
    if (index < 0) {
        // A language this installation lacks stays chosen, as Qavix.ini has it.
        list->addItem(QString::fromStdString(current), QString::fromStdString(current));
        index = list->count() - 1;
    }
    list->setCurrentIndex(index);
    return list;
}

}  // namespace

EnvironmentDialog::EnvironmentDialog(AppSettings& settings, QWidget* parent,
                                     plant::PlantSettings* plant)
    : QDialog(parent), m_settings(settings), m_plant(plant) {
    setObjectName("EnvironmentDialog");
    setWindowTitle(tr("環境設定"));
    setModal(true);

    m_tabs = new QTabWidget(this);
    const env::ValueTexts texts = env::valueTexts(settings);
    for (int tab = 0; tab < env::kTabCount; ++tab) {
        auto* list = new PropertyList();
        list->setObjectName(QString("propertyList%1").arg(tab));
        list->setMinimumSize(kListWidth, kListHeight);
        list->setColourCodec(
            [](const QString& t) {
                const ColorValue c = env::parseRgb(t.toStdString());
                return QColor(redOf(c), greenOf(c), blueOf(c));
            },
            [](const QColor& c) {
                return QString::fromStdString(
                    env::formatRgb(makeColor(c.red(), c.green(), c.blue())));
            });
        for (int item : env::itemsOfTab(static_cast<env::Tab>(tab))) {
            const env::ItemInfo& info = env::itemInfo(item);
            list->addItem(QString::fromUtf8(env::itemName(item)), editorOf(info.editor),
                          QString::fromStdString(texts[static_cast<size_t>(item)]),
                          choicesOf(item));
        }
        m_lists[static_cast<size_t>(tab)] = list;
        m_tabs->addTab(list, tr(kTabNames[tab]));
    }
    if (m_plant != nullptr) {
        m_plantPage = new PlantSettingsPage(*m_plant);
        m_tabs->addTab(m_plantPage, tr("プラント"));
    }
    m_tabs->setCurrentIndex(env::kTabOperation);

    m_languages = languageList(settings.language, tr("自動（ロケールに従う）"), this);
    auto* languageLabel = new QLabel(tr("言語(&L):"), this);
    languageLabel->setBuddy(m_languages);
    m_languages->setAccessibleName(tr("言語"));
    auto* languageNote = new QLabel(tr("次回の起動から有効になります"), this);
    languageNote->setObjectName("languageNote");
    m_languages->setAccessibleDescription(languageNote->text());
    auto* language = new QHBoxLayout();
    language->addWidget(languageLabel);
    language->addWidget(m_languages);
    language->addWidget(languageNote, 1);

    const ButtonTexture texture = textureFromSetting(settings.button);
    m_ok = makeButton(tr("設定"), texture, this);
    m_cancel = makeButton(tr("取消し"), texture, this);
    m_defaults = makeButton(tr("初期値"), texture, this);
    m_ok->setObjectName("okButton");
    m_cancel->setObjectName("cancelButton");
    m_defaults->setObjectName("defaultsButton");
    connect(m_ok, &QToolButton::clicked, this, &EnvironmentDialog::confirm);
    connect(m_cancel, &QToolButton::clicked, this, &QDialog::reject);
    connect(m_defaults, &QToolButton::clicked, this, &EnvironmentDialog::resetShownTab);

    auto* buttons = new QHBoxLayout();
    buttons->addWidget(m_defaults);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(language);
    layout->addLayout(buttons);
}

int EnvironmentDialog::rowOf(int item) const {
    const env::Tab tab = env::itemInfo(item).tab;
    const std::vector<int> items = env::itemsOfTab(tab);
    return static_cast<int>(std::find(items.begin(), items.end(), item) - items.begin());
}

QString EnvironmentDialog::text(int item) const {
    return list(env::itemInfo(item).tab)->value(rowOf(item));
}

void EnvironmentDialog::setText(int item, const QString& text) {
    list(env::itemInfo(item).tab)->setValue(rowOf(item), text);
}

void EnvironmentDialog::resetShownTab() {
    if (m_plantPage != nullptr && m_tabs->currentWidget() == m_plantPage) {
        m_plantPage->resetToDefaults();
        return;
    }
    const auto tab = static_cast<env::Tab>(m_tabs->currentIndex());
    env::ValueTexts texts;
    env::resetTab(texts, tab);
    list(tab)->closeEditor();
    for (int item : env::itemsOfTab(tab)) {
        setText(item, QString::fromStdString(texts[static_cast<size_t>(item)]));
    }
}

void EnvironmentDialog::confirm() {
    env::ValueTexts texts;
    for (PropertyList* l : m_lists) {
        l->closeEditor();
    }
    // Checked first: a refusal keeps the dialog open with nothing stored.
    if (m_plantPage != nullptr) {
        if (const QString problem = m_plantPage->problem(); !problem.isEmpty()) {
            m_tabs->setCurrentWidget(m_plantPage);
            QMessageBox::warning(this, "Qavix", problem);
            return;
        }
    }
    for (int item = 0; item < env::kItemCount; ++item) {
        texts[static_cast<size_t>(item)] = text(item).toStdString();
    }
    const env::StoreResult result = env::storeTexts(texts, m_settings);
    if (!result.ok) {
        QMessageBox::warning(this, "Qavix", QString::fromStdString(result.message));
        return;
    }
    if (m_plantPage != nullptr) {
        *m_plant = m_plantPage->settings();
    }
    m_settings.language = m_languages->currentData().toString().toStdString();
    accept();
}

}  // namespace qavix
