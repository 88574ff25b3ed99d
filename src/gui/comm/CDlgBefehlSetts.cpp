#include "gui/comm/CDlgBefehlSetts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/ui/Text.h"
#include "platform/Profile.h"
#include "platform/Ui.h"

CDlgBefehlSetts::CDlgBefehlSetts(Profile& profile, std::string file, Ui& ui, std::string caption,
                                 QWidget* parent)
    : QDialog(parent),
      m_profile(profile),
      m_file(std::move(file)),
      m_ui(ui),
      m_caption(std::move(caption)) {
    setWindowTitle(QString::fromLatin1(kTitle));
    const TerminalCommands::Commands stored = TerminalCommands::ReadAll(m_profile, m_file);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->addWidget(new QLabel(QStringLiteral("Command")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("File name")), 0, 3);
    for (int i = 0; i < TerminalCommands::kCount; ++i) {
        const UserCommand& command = stored[i];
        Row& row = m_rows[i];
        row.command = new QLineEdit(FromBytes(command.command));
        row.command->setMinimumWidth(220);
        row.save = new QCheckBox(QStringLiteral("Save response in file"));
        row.save->setChecked(command.save);
        row.file = new QLineEdit(FromPath(command.savePath));
        row.file->setMinimumWidth(200);
        row.seconds = new QSpinBox;
        row.seconds->setRange(0, TerminalCommands::kMaxSeconds);
        row.seconds->setValue(std::max(command.seconds, 0));
        row.seconds->setMinimumWidth(90);
        auto* timeoutLabel = new QLabel(QStringLiteral("Timeout in  Sec."));

        auto* userLabel = new QLabel(QStringLiteral("User &%1:").arg(i + 1));
        userLabel->setBuddy(row.command);
        const int line = i + 1;
        grid->addWidget(userLabel, line, 0);
        grid->addWidget(row.command, line, 1);
        grid->addWidget(row.save, line, 2);
        grid->addWidget(row.file, line, 3);
        grid->addWidget(timeoutLabel, line, 4);
        grid->addWidget(row.seconds, line, 5);

        const auto enable = [row, timeoutLabel](bool ticked) {
            row.file->setEnabled(ticked);
            row.seconds->setEnabled(ticked);
            timeoutLabel->setEnabled(ticked);
        };
        enable(command.save);
        connect(row.save, &QCheckBox::toggled, this, enable);
    }
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);

    auto* buttons = new QDialogButtonBox;
    QPushButton* save = buttons->addButton(QStringLiteral("Save"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgBefehlSetts::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgBefehlSetts::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    save->setDefault(true);
    m_rows[0].command->setFocus();
}

TerminalCommands::Commands CDlgBefehlSetts::Fields() const {
    TerminalCommands::Commands commands;
    for (int i = 0; i < TerminalCommands::kCount; ++i) {
        const Row& row = m_rows[i];
        commands[i].command = ToBytes(row.command->text());
        commands[i].save = row.save->isChecked();
        commands[i].savePath = ToPath(row.file->text());
        commands[i].seconds = row.seconds->value();
    }
    return commands;
}

void CDlgBefehlSetts::accept() {
    const TerminalCommands::Commands commands = Fields();
    if (std::optional<std::string> problem = TerminalCommands::Check(commands)) {
        m_ui.MessageBox(*problem + "\nNothing was saved.", m_caption, MsgButtons::Ok,
                        MsgIcon::Warning);
        return;
    }
    if (!TerminalCommands::WriteAll(m_profile, m_file, commands)) {
        m_ui.MessageBox(m_file + " couldn't be written.", m_caption, MsgButtons::Ok,
                        MsgIcon::Warning);
        return;
    }
    QDialog::accept();
}
