#include "gui/calc/CEinheitEinfuegen.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "gui/ui/Text.h"
#include "platform/Ui.h"

namespace {

// What a sensor keeps of a unit name.
constexpr int kMaxUnit = 9;
constexpr int kMaxNumber = 30;

}  // namespace

CEinheitEinfuegen::CEinheitEinfuegen(std::vector<std::string> existingUnits, Ui& ui,
                                     std::string caption, QWidget* parent)
    : QDialog(parent),
      m_existingUnits(std::move(existingUnits)),
      m_ui(ui),
      m_caption(std::move(caption)) {
    setWindowTitle(QString::fromLatin1(kTitle));
    m_unit = new QLineEdit;
    m_unit->setMaxLength(kMaxUnit);
    m_factor = new QLineEdit;
    m_factor->setMaxLength(kMaxNumber);
    m_factor->setPlaceholderText(QStringLiteral("1"));
    m_offset = new QLineEdit;
    m_offset->setMaxLength(kMaxNumber);
    m_offset->setPlaceholderText(QStringLiteral("0"));

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("&Unit :"), m_unit);
    fields->addRow(QStringLiteral("&Factor :"), m_factor);
    fields->addRow(QStringLiteral("&Offset :"), m_offset);

    auto* buttons = new QDialogButtonBox;
    QPushButton* ready = buttons->addButton(QStringLiteral("&Ready"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CEinheitEinfuegen::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CEinheitEinfuegen::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    ready->setDefault(true);
    m_unit->setFocus();
}

void CEinheitEinfuegen::accept() {
    // Outer blanks would not survive as a key name.
    const std::string name = ToBytes(m_unit->text().trimmed());
    const UnitFile::AddResult checked = UnitFile::CheckNewUnit(
        name, ToBytes(m_factor->text().trimmed()), ToBytes(m_offset->text().trimmed()),
        m_existingUnits);
    if (checked.status != UnitFile::AddStatus::Ok) {
        m_ui.MessageBox(checked.message, m_caption, MsgButtons::Ok, MsgIcon::Warning);
        m_unit->setFocus();
        return;
    }
    m_name = name;
    m_conversion = checked.conversion;
    QDialog::accept();
}
