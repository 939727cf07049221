#include "report/PaperSetupDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPageLayout>

namespace qavix {

namespace {

constexpr QPageSize::PageSizeId kPapers[] = {QPageSize::A4,    QPageSize::A3,     QPageSize::A5,
                                             QPageSize::JisB5, QPageSize::Letter, QPageSize::Legal};

}  // namespace

PaperSetupDialog::PaperSetupDialog(QPrinter& printer, QWidget* parent)
    : QDialog(parent), m_printer(printer) {
    setObjectName("printSetupDialog");
    setWindowTitle(tr("プリンタの設定"));
    m_paper = new QComboBox(this);
    for (QPageSize::PageSizeId id : kPapers) {
        m_paper->addItem(QPageSize::name(id), static_cast<int>(id));
    }
    const int current = m_paper->findData(static_cast<int>(printer.pageLayout().pageSize().id()));
    m_paper->setCurrentIndex(std::max(current, 0));
    m_orientation = new QComboBox(this);
    m_orientation->addItem(tr("縦"), static_cast<int>(QPageLayout::Portrait));
    m_orientation->addItem(tr("横"), static_cast<int>(QPageLayout::Landscape));
    m_orientation->setCurrentIndex(printer.pageLayout().orientation() == QPageLayout::Landscape);

    auto* form = new QFormLayout(this);
    auto* paperLabel = new QLabel(tr("用紙サイズ(&Z):"), this);
    paperLabel->setBuddy(m_paper);
    auto* orientationLabel = new QLabel(tr("印刷の向き(&O):"), this);
    orientationLabel->setBuddy(m_orientation);
    form->addRow(paperLabel, m_paper);
    form->addRow(orientationLabel, m_orientation);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &PaperSetupDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PaperSetupDialog::reject);
}

void PaperSetupDialog::accept() {
    m_printer.setPageSize(
        QPageSize(static_cast<QPageSize::PageSizeId>(m_paper->currentData().toInt())));
    m_printer.setPageOrientation(
        static_cast<QPageLayout::Orientation>(m_orientation->currentData().toInt()));
    QDialog::accept();
}

}  // namespace qavix
