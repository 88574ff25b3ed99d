#pragma once

// CProcessNewDlg ("new process") is the dialog "Process".

#include <QDialog>
#include <string>

#include "app/ProcessNewForm.h"

class Launcher;
class QLabel;
class QLineEdit;
class QPushButton;
class StationView;
class Ui;

// One process: program or file, parameters, execution and release condition,
// with the checks of ProcessNewForm behind its buttons.
class CProcessNewDlg final : public QDialog {
    Q_OBJECT
public:
    // A new process (`initial` empty) or one to edit; `launcher` runs "Check
    // process" (nothing starts without one).
    CProcessNewDlg(const StationView& station, Ui& ui, Launcher* launcher, std::string caption,
                   const ProcessTexts& initial = {}, QWidget* parent = nullptr);

    // The process as accepted.
    const ProcessTexts& Texts() const { return m_form.texts; }

    // "Accept": closes only when the form accepts.
    void accept() override;

    // The controls, for tests.
    QLineEdit& ProgramField() const { return *m_program; }
    QLineEdit& ParameterField() const { return *m_parameter; }
    QLineEdit& ExecField() const { return *m_exec; }
    QLineEdit& ReleaseField() const { return *m_release; }
    QLabel& ExecStatus() const { return *m_execStatus; }
    QLabel& ReleaseStatus() const { return *m_releaseStatus; }
    QPushButton& ChooseFileButton() const { return *m_chooseFile; }
    QPushButton& CheckProcessButton() const { return *m_checkProcess; }
    QPushButton& CheckSyntaxButton() const { return *m_checkSyntax; }
    QPushButton& AcceptButton() const { return *m_accept; }
    QPushButton& CancelButton() const { return *m_cancel; }

private:
    void ReadFields();
    // The conditions as the check left them, the statuses and the caret.
    void ShowCheck();
    void ChooseFile();
    void CheckProcess();
    void CheckSyntax();

    ProcessNewForm m_form;
    Ui& m_ui;
    Launcher* m_launcher;
    QLineEdit* m_program;
    QPushButton* m_chooseFile;
    QLineEdit* m_parameter;
    QLineEdit* m_exec;
    QLabel* m_execStatus;
    QLineEdit* m_release;
    QLabel* m_releaseStatus;
    QPushButton* m_checkProcess;
    QPushButton* m_checkSyntax;
    QPushButton* m_accept;
    QPushButton* m_cancel;
};
