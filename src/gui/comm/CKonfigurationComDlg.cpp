#include "gui/comm/CKonfigurationComDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

namespace {

QComboBox* NewList(const std::vector<int>& values, int selected) {
    auto* list = new QComboBox;
    for (int value : values) list->addItem(QString::number(value), value);
    list->setCurrentIndex(list->findData(selected));
    return list;
}

int Selected(const QComboBox& list) {
    return list.currentIndex() < 0 ? -1 : list.currentData().toInt();
}

}  // namespace

CKonfigurationComDlg::CKonfigurationComDlg(Profile& profile, std::string stationFile,
                                           ConnectionOptions::LineSection section, Ui& ui,
                                           std::string caption, QWidget* parent)
    : QDialog(parent),
      m_profile(profile),
      m_stationFile(std::move(stationFile)),
      m_section(section),
      m_ui(ui),
      m_caption(std::move(caption)) {
    using namespace ConnectionOptions;
    setWindowTitle(QString::fromLatin1(kTitle));
    const LineChoice stored = OpenLineChoice(m_profile, m_stationFile, section);
    m_baud = NewList(BaudRates(), stored.baudRate);
    m_dataBits = NewList(DataBitChoices(), stored.dataBits);
    m_parity = NewList(ParityChoices(), stored.parity);
    m_parity->setToolTip(QStringLiteral("0 none, 1 odd, 2 even"));
    m_stopBits = NewList(StopBitChoices(), stored.stopBitCount);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("&bits per second :"), m_baud);
    fields->addRow(QStringLiteral("&Databits :"), m_dataBits);
    fields->addRow(QStringLiteral("&Parity :"), m_parity);
    fields->addRow(QStringLiteral("&Stopbits :"), m_stopBits);

    auto* buttons = new QDialogButtonBox;
    m_accept = buttons->addButton(QStringLiteral("&Accept"), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CKonfigurationComDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CKonfigurationComDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    m_accept->setDefault(true);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_baud->setFocus();
}

ConnectionOptions::LineChoice CKonfigurationComDlg::Choice() const {
    return {Selected(*m_baud), Selected(*m_dataBits), Selected(*m_parity), Selected(*m_stopBits)};
}

void CKonfigurationComDlg::accept() {
    if (ConnectionOptions::AcceptLineChoice(m_ui, m_caption, m_profile, m_stationFile, m_section,
                                            Choice()))
        QDialog::accept();
}
