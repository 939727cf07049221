#include "pages/CView009.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace qavix {

namespace {

constexpr int kMargin = 24;
constexpr int kSpacing = 12;
constexpr int kNumberWidth = 80;
constexpr int kSwitchWidth = 100;
constexpr int kArrangementWidth = 180;
constexpr int kMaxDigits = 3;  // at most 384 beams in all

const char* const kTogetherTitle = QT_TRANSLATE_NOOP("qavix::CView009", "総合");

QString rowTitle(int channel) {
    return QString("CH%1").arg(channel + 1);
}

}  // namespace

CView009::CView009(const PageContext& context, QWidget* parent)
    : SettingPage("CView009", context, kPageIndex, kEditedOverallJudgement, kFieldCount, parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    outer->setSpacing(kSpacing);

    auto* top = new QHBoxLayout;
    auto* label = new QLabel(tr("センサ配置設定"), this);
    m_arrangement = new FieldComboBox(this);
    m_arrangement->setObjectName("combo1078");
    m_arrangement->addItems({tr("センサ一括処理"), tr("センサ個別処理")});
    m_arrangement->setFixedWidth(kArrangementWidth);
    label->setBuddy(m_arrangement);
    top->addWidget(label);
    top->addWidget(m_arrangement);
    top->addStretch(1);
    outer->addLayout(top);

    for (int c = 0; c < kChannelCount; ++c) {
        m_rows[index(c)] = makeRow(c);
        outer->addWidget(m_rows[index(c)].group);
    }
    outer->addStretch(1);

    connect(m_arrangement, QOverload<int>::of(&QComboBox::activated), this,
            &CView009::onArrangementChosen);
    layOut(kTogetherIndex);
}

CView009::Row CView009::makeRow(int channel) {
    static const int kBlockedIds[kChannelCount] = {1079, 1080, 1081};
    static const int kIncidentIds[kChannelCount] = {1084, 1083, 1082};
    static const int kFixIds[kChannelCount] = {1085, 1030, 1031};
    static const int kButtonIds[kChannelCount] = {1086, 1087, 1009};
    const auto i = index(channel);

    Row row;
    row.group = new QGroupBox(rowTitle(channel), this);
    row.group->setObjectName(channel == 0 ? "group1039" : QString("groupCH%1").arg(channel + 1));
    auto* grid = new QGridLayout(row.group);
    grid->setHorizontalSpacing(kSpacing);

    auto addLabelled = [&](int column, const QString& text, QWidget* field) {
        auto* l = new QLabel(text, row.group);
        l->setBuddy(field);
        grid->addWidget(l, 0, column);
        grid->addWidget(field, 1, column);
    };
    row.blocked = new QLineEdit(row.group);
    row.blocked->setObjectName(QString("edit%1").arg(kBlockedIds[i]));
    row.incident = new QLineEdit(row.group);
    row.incident->setObjectName(QString("edit%1").arg(kIncidentIds[i]));
    for (QLineEdit* e : {row.blocked, row.incident}) {
        e->setFixedWidth(kNumberWidth);
        e->setMaxLength(kMaxDigits + 1);
        e->setAlignment(Qt::AlignRight);
    }
    row.fix = new FieldComboBox(row.group);
    row.fix->setObjectName(QString("combo%1").arg(kFixIds[i]));
    row.fix->addItems({tr("無効"), tr("有効")});
    row.fix->setFixedWidth(kSwitchWidth);
    row.blanking = new QPushButton(tr("ブランキング光軸設定"), row.group);
    row.blanking->setObjectName(QString("button%1").arg(kButtonIds[i]));
    row.blanking->setEnabled(false);

    addLabelled(0, tr("遮光判定光軸数"), row.blocked);
    addLabelled(1, tr("入光判定光軸数"), row.incident);
    addLabelled(2, tr("FIXブランキング機能"), row.fix);
    grid->addWidget(row.blanking, 1, 3);
    grid->setColumnStretch(4, 1);

    connect(row.blocked, &QLineEdit::textEdited, this,
            [this, channel] { onNumberEdited(BeamJudgement::Blocked, channel); });
    connect(row.incident, &QLineEdit::textEdited, this,
            [this, channel] { onNumberEdited(BeamJudgement::Incident, channel); });
    connect(row.fix, QOverload<int>::of(&QComboBox::activated), this,
            [this, channel] { onFixChosen(channel); });
    connect(row.blanking, &QPushButton::clicked, this, [this, channel] { openBlanking(channel); });
    return row;
}

std::vector<PageRead> CView009::controllerReads() const {
    return overallJudgementReads();
}

std::array<int32_t, kChannelCount> CView009::beams() const {
    std::array<int32_t, kChannelCount> b{};
    for (int c = 0; c < kChannelCount; ++c) {
        b[index(c)] = working().channel(c).beamCount;
    }
    return b;
}

OverallJudgementValues CView009::values() const {
    OverallJudgementValues v;
    v.arrangementIndex = m_arrangement->currentIndex();
    for (int c = 0; c < kChannelCount; ++c) {
        const Row& row = m_rows[index(c)];
        v.blocked[index(c)] = row.blocked->text().toStdString();
        v.incident[index(c)] = row.incident->text().toStdString();
        v.fix[index(c)] = row.fix->currentIndex();
    }
    return v;
}

void CView009::fillFromWorkingSet() {
    // Rows the arrangement hides keep the stored counts, so a write sends them back as they
    // are rather than as zeros.
    const OverallJudgementValues v = overallJudgementOf(working().general);
    for (int c = 0; c < kChannelCount; ++c) {
        const Row& row = m_rows[index(c)];
        row.blocked->setText(QString::fromStdString(v.blocked[index(c)]));
        row.incident->setText(QString::fromStdString(v.incident[index(c)]));
        row.fix->setCurrentIndex(v.fix[index(c)]);
        row.blanking->setEnabled(v.fix[index(c)] == 1);
    }
    m_arrangement->setCurrentIndex(v.arrangementIndex);
    m_previousArrangement = v.arrangementIndex;
    layOut(v.arrangementIndex);
}

bool CView009::differsFromWorkingSet() const {
    const OverallJudgementValues now = values();
    const OverallJudgementValues held = overallJudgementOf(working().general);
    return now.arrangementIndex != held.arrangementIndex || now.blocked != held.blocked ||
           now.incident != held.incident || now.fix != held.fix;
}

bool CView009::checkBox(BeamJudgement kind, int channel, bool validatingChange) {
    const std::optional<std::string> message =
        checkOverallBox(kind, channel, box(kind, channel)->text().toStdString(),
                        m_arrangement->currentIndex(), beams(), validatingChange);
    if (message) {
        showMessage(QString::fromStdString(*message));
        focusAndSelect(box(kind, channel));
        return false;
    }
    return true;
}

void CView009::onNumberEdited(BeamJudgement kind, int channel) {
    const bool valid = checkBox(kind, channel);
    fieldEdited(fieldOf(kind, channel), valid ? FieldState::Changed : FieldState::Invalid);
}

void CView009::onFixChosen(int channel) {
    const int chosen = fixBox(channel)->currentIndex();
    blankingButton(channel)->setEnabled(chosen == 1);
    const bool differs = chosen != (working().general.fixCnf[index(channel)] != 0 ? 1 : 0);
    choiceEdited(kFirstFixField + channel, differs);
}

void CView009::onArrangementChosen(int chosen) {
    const auto arrangementDiffers = [this] {
        return m_arrangement->currentIndex() != arrangementIndexOf(working().general.allOnOffCnf);
    };
    if (chosen == m_previousArrangement) {
        choiceEdited(kArrangementField, arrangementDiffers());
        return;
    }
    // The counts must fit the new arrangement before it is taken.
    bool valid = true;
    if (chosen == kSeparateIndex) {
        valid =
            checkBox(BeamJudgement::Blocked, 0, true) && checkBox(BeamJudgement::Incident, 0, true);
    } else {
        for (int c = 0; c < kChannelCount && valid; ++c) {
            valid = checkBox(BeamJudgement::Blocked, c) && checkBox(BeamJudgement::Incident, c);
        }
    }
    if (!valid) {
        m_arrangement->setCurrentIndex(m_previousArrangement);
        choiceEdited(kArrangementField, arrangementDiffers());
        return;
    }
    if (chosen == kSeparateIndex) {
        const OverallJudgementValues held = overallJudgementOf(working().general);
        for (int c = 0; c < kChannelCount; ++c) {
            blockedBox(c)->setText(QString::fromStdString(held.blocked[index(c)]));
            incidentBox(c)->setText(QString::fromStdString(held.incident[index(c)]));
        }
    }
    layOut(chosen);
    m_previousArrangement = chosen;
    for (int f = 0; f < kFirstFixField; ++f) {
        edit().setField(f, FieldState::Unchanged);
    }
    choiceEdited(kArrangementField, arrangementDiffers());
}

void CView009::layOut(int arrangementIndex) {
    const int rows = overallRowCount(arrangementIndex, working().general.jointNum);
    for (int c = 0; c < kChannelCount; ++c) {
        rowBox(c)->setVisible(c < rows);
    }
    const QString first = arrangementIndex == kTogetherIndex ? tr(kTogetherTitle) : rowTitle(0);
    rowBox(0)->setTitle(first);
    for (int c = 0; c < kChannelCount; ++c) {
        const QString title = c == 0 ? first : rowTitle(c);
        // The labels repeat in every row; the row's title tells them apart when heard.
        blockedBox(c)->setAccessibleName(tr("%1 遮光判定光軸数").arg(title));
        incidentBox(c)->setAccessibleName(tr("%1 入光判定光軸数").arg(title));
        fixBox(c)->setAccessibleName(tr("%1 FIXブランキング機能").arg(title));
        blankingButton(c)->setAccessibleName(tr("%1 ブランキング光軸設定").arg(title));
    }
}

bool CView009::checkFields() {
    bool valid = true;
    for (const OverallBox& b : kOverallCheckOrder) {
        const bool ok = checkBox(b.kind, b.channel);
        if (!ok) {
            edit().setField(fieldOf(b.kind, b.channel), FieldState::Invalid);
        }
        valid = valid && ok;
    }
    repaintFields();
    return valid;
}

std::vector<codec::PutRequest> CView009::pagePuts() {
    return overallJudgementPuts(values(), working().general);
}

void CView009::written(bool ok) {
    if (ok) {
        // Together, the first row's switch now stands for every sensor.
        fillFromWorkingSet();
        markClean();
    }
}

void CView009::repaintFields() {
    for (int c = 0; c < kChannelCount; ++c) {
        paintField(blockedBox(c), editState().field(fieldOf(BeamJudgement::Blocked, c)));
        paintField(incidentBox(c), editState().field(fieldOf(BeamJudgement::Incident, c)));
        fixBox(c)->setFieldState(editState().field(kFirstFixField + c));
    }
    m_arrangement->setFieldState(editState().field(kArrangementField));
}

void CView009::focusFirstField() {
    blockedBox(0)->setFocus();
}

void CView009::openBlanking(int channel) {
    const BlankingTarget target =
        blankingTarget(m_arrangement->currentIndex(), channel, state().user.blanking);
    state().blankingChannel = target.blankingChannel;
    state().beamTable = AppState::BeamFlagTable::FixedBlanking;
    state().requestPage(target.page);
}

}  // namespace qavix
