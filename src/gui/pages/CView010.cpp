#include "pages/CView010.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "model/OverallJudgement.h"
#include "pages/PageIndex.h"
#include "state/UiText.h"

namespace qavix {

namespace {

constexpr int kPageIndex = nav::kPageParallelOutput;
constexpr int kMargin = 24;
constexpr int kSpacing = 12;
constexpr int kListWidth = 170;
// Control identifiers of the lists, by field: arrangement, output 1, output 2.
constexpr std::array<int, CView010::kFieldCount> kListIds = {1078, 1075, 1076, 1077, 1032,
                                                             1033, 1034, 1035, 1036};

int fieldOf(int output, int field) {
    return 1 + CView010::kFieldsPerOutput * output + (field - 1);
}

void fillList(QComboBox* list, const QStringList& items, int selected) {
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(selected);
}

template <size_t N>
QStringList names(const std::array<const char*, N>& texts) {
    QStringList out;
    for (const char* t : texts) {
        out << coreText(t);
    }
    return out;
}

}  // namespace

CView010::CView010(const PageContext& context, QWidget* parent)
    : SettingPage("CView010", context, kPageIndex, kEditedParallelOutput, kFieldCount, parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    outer->setSpacing(kSpacing * 2);

    auto* top = new QGridLayout;
    top->setHorizontalSpacing(kSpacing);
    m_arrangement = addList(kFieldArrangement, tr("センサ配置設定"));
    m_arrangement->addItems(
        {arrangementText(kArrangementTogether), arrangementText(kArrangementSeparate)});
    auto* arrangementLabel = new QLabel(tr("センサ配置設定"), this);
    arrangementLabel->setBuddy(m_arrangement);
    top->addWidget(arrangementLabel, 0, 0);
    top->addWidget(m_arrangement, 0, 1);
    top->setColumnStretch(2, 1);
    outer->addLayout(top);

    auto* outputs = new QHBoxLayout;
    outputs->setSpacing(kSpacing * 2);
    for (int out = 0; out < kParallelOutputCount; ++out) {
        auto* box = new QGroupBox(out == 0 ? tr("出力１") : tr("出力２"), this);
        box->setObjectName(QString("output%1").arg(out + 1));
        auto* grid = new QGridLayout(box);
        grid->setHorizontalSpacing(kSpacing);
        grid->setVerticalSpacing(kSpacing);
        const QString suffix = out == 0 ? tr(" 出力１") : tr(" 出力２");
        const struct {
            int field;
            QString label;
        } rows[] = {{kFieldSensor, tr("対象センサ")},
                    {kFieldMode, tr("判定モード")},
                    {kFieldState, tr("光軸状態")},
                    {kFieldFormat, tr("出力フォーマット")}};
        int row = 0;
        for (const auto& r : rows) {
            FieldComboBox* l = addList(fieldOf(out, r.field), r.label + suffix);
            auto* label = new QLabel(r.label, box);
            label->setBuddy(l);
            grid->addWidget(label, row, 0);
            grid->addWidget(l, row, 1);
            ++row;
        }
        list(fieldOf(out, kFieldMode))->addItems(names(kParallelModeNames));
        list(fieldOf(out, kFieldState))->addItems(names(kParallelStateNames));
        list(fieldOf(out, kFieldFormat))->addItems(names(kParallelFormatNames));
        outputs->addWidget(box);
    }
    outputs->addStretch(1);
    outer->addLayout(outputs);
    outer->addStretch(1);
    m_filling = false;
}

FieldComboBox* CView010::addList(int field, const QString& name) {
    auto* l = new FieldComboBox(this);
    l->setObjectName(QString("combo%1").arg(kListIds[static_cast<size_t>(field)]));
    l->setAccessibleName(name);
    l->setMinimumWidth(kListWidth);
    m_lists[static_cast<size_t>(field)] = l;
    connect(l, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this, field](int) { listChanged(field); });
    return l;
}

FieldComboBox* CView010::outputList(int output, int field) const {
    return list(fieldOf(output, field));
}

std::vector<PageRead> CView010::controllerReads() const {
    return parallelOutputReads();
}

void CView010::fillFromWorkingSet() {
    m_filling = true;
    const ParallelOutputPage page = parallelOutputPage(working().general);
    m_arrangement->setCurrentIndex(page.arrangement);
    for (int out = 0; out < kParallelOutputCount; ++out) {
        const ParallelOutputChoice& c = page.outputs[static_cast<size_t>(out)];
        QStringList sensors;
        for (int s : c.sensors) {
            sensors << QString("CH%1").arg(s + 1);
        }
        m_sensorEntries[static_cast<size_t>(out)] = c.sensors;
        fillList(outputList(out, kFieldSensor), sensors, c.sensorEntry);
        outputList(out, kFieldMode)->setCurrentIndex(c.mode);
        outputList(out, kFieldState)->setCurrentIndex(c.state);
        outputList(out, kFieldFormat)->setCurrentIndex(c.format);
    }
    m_filling = false;
}

ParallelOutputPage CView010::shown() const {
    ParallelOutputPage page;
    page.arrangement = m_arrangement->currentIndex();
    for (int out = 0; out < kParallelOutputCount; ++out) {
        ParallelOutputChoice& c = page.outputs[static_cast<size_t>(out)];
        c.sensors = m_sensorEntries[static_cast<size_t>(out)];
        c.sensorEntry = outputList(out, kFieldSensor)->currentIndex();
        c.mode = outputList(out, kFieldMode)->currentIndex();
        c.state = outputList(out, kFieldState)->currentIndex();
        c.format = outputList(out, kFieldFormat)->currentIndex();
    }
    return page;
}

bool CView010::differsFromWorkingSet() const {
    return shown() != parallelOutputPage(working().general);
}

void CView010::listChanged(int field) {
    if (m_filling) {
        return;
    }
    const ParallelOutputPage now = shown();
    const ParallelOutputPage stored = parallelOutputPage(working().general);
    bool differs = now.arrangement != stored.arrangement;
    if (field != kFieldArrangement) {
        const size_t out = static_cast<size_t>((field - 1) / kFieldsPerOutput);
        const ParallelOutputChoice& a = now.outputs[out];
        const ParallelOutputChoice& b = stored.outputs[out];
        switch ((field - 1) % kFieldsPerOutput + 1) {
            case kFieldSensor:
                differs = a.sensorEntry != b.sensorEntry;
                break;
            case kFieldMode:
                differs = a.mode != b.mode;
                break;
            case kFieldState:
                differs = a.state != b.state;
                break;
            default:
                differs = a.format != b.format;
                break;
        }
    }
    choiceEdited(field, differs);
}

std::vector<codec::PutRequest> CView010::pagePuts() {
    return parallelOutputPuts(shown(), working().general);
}

void CView010::repaintFields() {
    for (int f = 0; f < kFieldCount; ++f) {
        list(f)->setFieldState(editState().field(f));
    }
}

void CView010::focusFirstField() {
    m_arrangement->setFocus();
}

}  // namespace qavix
