#include "gui/app/CProcessNewDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ProcessList.h"
#include "gui/ui/Text.h"
#include "platform/Ui.h"

namespace {

QString Text(std::string_view text) { return FromBytes(text); }

QLineEdit* Field() {
    auto* field = new QLineEdit;
    field->setMaxLength(static_cast<int>(ProcessList::kMaxTextLength));
    field->setMinimumWidth(380);
    return field;
}

// Room for one line even while empty, so that the dialog does not jump.
QLabel* StatusText() {
    auto* status = new QLabel;
    status->setMinimumHeight(status->fontMetrics().height());
    status->setIndent(2);
    return status;
}

// Upper case while typing, the caret staying where it was.
void KeepUpperCase(QLineEdit& field) {
    QObject::connect(&field, &QLineEdit::textEdited, &field, [&field](const QString& typed) {
        const QString upper = FromBytes(ProcessNewForm::ConditionInput(ToBytes(typed)));
        if (upper == typed) return;
        const int caret = field.cursorPosition();
        field.setText(upper);
        field.setCursorPosition(caret);
    });
}

}  // namespace

CProcessNewDlg::CProcessNewDlg(const StationView& station, Ui& ui, Launcher* launcher,
                               std::string caption, const ProcessTexts& initial, QWidget* parent)
    : QDialog(parent),
      m_form(station, ui, std::move(caption), initial),
      m_ui(ui),
      m_launcher(launcher),
      m_program(Field()),
      m_chooseFile(new QPushButton(Text(ProcessNewForm::kChooseFileButton))),
      m_parameter(Field()),
      m_exec(Field()),
      m_execStatus(StatusText()),
      m_release(Field()),
      m_releaseStatus(StatusText()),
      m_checkProcess(new QPushButton(Text(ProcessNewForm::kCheckProcessButton))),
      m_checkSyntax(new QPushButton(Text(ProcessNewForm::kCheckSyntaxButton))),
      m_accept(new QPushButton(Text(ProcessNewForm::kAcceptButton))),
      m_cancel(new QPushButton(Text(ProcessNewForm::kCancelButton))) {
    setWindowTitle(Text(ProcessNewForm::kTitle));

    m_program->setText(FromPath(initial.program));
    m_parameter->setText(FromPath(initial.parameter));
    m_exec->setText(Text(initial.execCondition));
    m_release->setText(Text(initial.releaseCondition));
    KeepUpperCase(*m_exec);
    KeepUpperCase(*m_release);

    m_chooseFile->setToolTip(QStringLiteral("Choose a program or file"));
    for (QPushButton* button : {m_chooseFile, m_checkProcess, m_checkSyntax, m_cancel})
        button->setAutoDefault(false);
    m_accept->setDefault(true);

    // Each label above its field, as in a form that is read top to bottom.
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    int row = 0;
    auto addLabel = [&](std::string_view text, QLineEdit* buddy) {
        auto* label = new QLabel(Text(text));
        label->setBuddy(buddy);
        if (row > 0) grid->setRowMinimumHeight(row++, 8);
        grid->addWidget(label, row++, 0, 1, 2);
    };
    addLabel(ProcessNewForm::kProgramLabel, m_program);
    grid->addWidget(m_program, row, 0);
    grid->addWidget(m_chooseFile, row++, 1);
    addLabel(ProcessNewForm::kParameterLabel, m_parameter);
    grid->addWidget(m_parameter, row++, 0, 1, 2);
    addLabel(ProcessNewForm::kExecLabel, m_exec);
    grid->addWidget(m_exec, row++, 0, 1, 2);
    grid->addWidget(m_execStatus, row++, 0, 1, 2);
    addLabel(ProcessNewForm::kReleaseLabel, m_release);
    grid->addWidget(m_release, row++, 0, 1, 2);
    grid->addWidget(m_releaseStatus, row++, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    m_chooseFile->setFixedWidth(m_chooseFile->sizeHint().height() + 8);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_checkProcess);
    buttons->addWidget(m_checkSyntax);
    buttons->addStretch();
    buttons->addWidget(m_accept);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    connect(m_chooseFile, &QPushButton::clicked, this, &CProcessNewDlg::ChooseFile);
    connect(m_checkProcess, &QPushButton::clicked, this, &CProcessNewDlg::CheckProcess);
    connect(m_checkSyntax, &QPushButton::clicked, this, &CProcessNewDlg::CheckSyntax);
    connect(m_accept, &QPushButton::clicked, this, &CProcessNewDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CProcessNewDlg::reject);

    setTabOrder(m_program, m_chooseFile);
    setTabOrder(m_chooseFile, m_parameter);
    setTabOrder(m_parameter, m_exec);
    setTabOrder(m_exec, m_release);
    setTabOrder(m_release, m_checkProcess);
    setTabOrder(m_checkProcess, m_checkSyntax);
    setTabOrder(m_checkSyntax, m_accept);
    setTabOrder(m_accept, m_cancel);
    m_program->setFocus();
}

void CProcessNewDlg::ReadFields() {
    m_form.texts.program = ToPath(m_program->text());
    m_form.texts.parameter = ToPath(m_parameter->text());
    m_form.texts.execCondition = ProcessNewForm::ConditionInput(ToBytes(m_exec->text()));
    m_form.texts.releaseCondition = ProcessNewForm::ConditionInput(ToBytes(m_release->text()));
}

void CProcessNewDlg::ShowCheck() {
    m_exec->setText(Text(m_form.texts.execCondition));
    m_release->setText(Text(m_form.texts.releaseCondition));
    m_execStatus->setText(Text(m_form.ExecStatus()));
    m_releaseStatus->setText(Text(m_form.ReleaseStatus()));
    if (const auto& focus = m_form.FocusRequest()) {
        QLineEdit* field =
            focus->field == ProcessNewForm::Field::kReleaseCondition ? m_release : m_exec;
        field->setFocus();
        field->deselect();
        // The caret counts bytes; each byte is one character of the field.
        field->setCursorPosition(static_cast<int>(focus->caret));
    }
}

void CProcessNewDlg::ChooseFile() {
    if (const auto path = m_ui.ChooseFile(std::string(), ToPath(m_program->text()), false))
        m_program->setText(FromPath(*path));
}

void CProcessNewDlg::CheckProcess() {
    ReadFields();
    m_form.CheckProcess(m_launcher);
}

void CProcessNewDlg::CheckSyntax() {
    ReadFields();
    m_form.CheckSyntax();
    ShowCheck();
}

void CProcessNewDlg::accept() {
    ReadFields();
    const bool noProgram = m_form.texts.program.empty();
    const bool accepted = m_form.Accept();
    if (noProgram) {
        m_program->setFocus();
        return;
    }
    ShowCheck();
    if (accepted) QDialog::accept();
}
