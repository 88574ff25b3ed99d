#include "gui/comm/CDlgPinPuk.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/ui/Text.h"

CDlgPinPuk::CDlgPinPuk(std::string_view prompt, QWidget* parent)
    : QDialog(parent), m_prompt(new QLabel(FromBytes(prompt), this)), m_entry(new QLineEdit(this)) {
    setWindowTitle(kTitle);
    m_entry->setEchoMode(QLineEdit::Password);
    m_entry->setMaxLength(16);
    m_entry->setMinimumWidth(220);
    m_prompt->setBuddy(m_entry);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_entry);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_entry->setFocus();
}

std::string CDlgPinPuk::Entry() const { return ToBytes(m_entry->text()); }

std::optional<std::string> CDlgPinPuk::Ask(std::string_view prompt, QWidget* parent) {
    CDlgPinPuk dialog(prompt, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Entry();
}
