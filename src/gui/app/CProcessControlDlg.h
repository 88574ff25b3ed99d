#pragma once

// CProcessControlDlg is the dialog "Process control".

#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "app/ProcessControlForm.h"

class CProcessNewDlg;
class Launcher;
class QPushButton;
class QTableWidget;
class StationView;
class Ui;

// A station's processes in a list with "New", "Edit" and "Delete"; the
// process itself is edited in CProcessNewDlg. Every change is stored at once
// (ProcessControlForm).
class CProcessControlDlg final : public QDialog {
    Q_OBJECT
public:
    CProcessControlDlg(ProcessControl& control, const StationView& station, Ui& ui,
                       Launcher* launcher, std::string caption, QWidget* parent = nullptr);

    // The controls, for tests.
    QTableWidget& List() const { return *m_list; }
    QPushButton& NewButton() const { return *m_new; }
    QPushButton& EditButton() const { return *m_edit; }
    QPushButton& DeleteButton() const { return *m_delete; }
    QPushButton& OkButton() const { return *m_ok; }

    // Runs the dialog "Process" modally; tests replace it to drive that dialog.
    std::function<bool(CProcessNewDlg&)> runProcessDialog;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refill();
    void SelectionChanged();
    void NewProcess();
    void EditProcess();
    void DeleteProcess();

    ProcessControlForm m_form;
    const StationView& m_station;
    Ui& m_ui;
    Launcher* m_launcher;
    std::string m_caption;
    QTableWidget* m_list;
    QPushButton* m_new;
    QPushButton* m_edit;
    QPushButton* m_delete;
    QPushButton* m_ok;
    // The column table's widths, widened where a title would be cut.
    std::array<int, ProcessControlForm::kColumns.size()> m_minimumWidths{};
};
