#pragma once

// CDlgBefehlSetts ("Befehl": command) edits the terminal's user commands.

#include <QDialog>
#include <array>
#include <string>

#include "app/TerminalCommands.h"

class Profile;
class QCheckBox;
class QLineEdit;
class QSpinBox;
class Ui;

// "Command settings": for each of the eight user commands the command, "Save
// response in file", the file name and "Timeout in  Sec."; the file name and
// time take input only while the box is ticked. "Save" checks every field
// and then writes all eight sections; "Cancel" writes nothing.
class CDlgBefehlSetts final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Command settings";

    // `caption` titles the messages.
    CDlgBefehlSetts(Profile& profile, std::string file, Ui& ui, std::string caption,
                    QWidget* parent = nullptr);

    // "Save": a field that cannot be stored, or a file that cannot be
    // written, is shown and the dialog stays open with nothing changed.
    void accept() override;

    // Row `index` (0..7) of the commands.
    QLineEdit& CommandField(int index) const { return *m_rows[index].command; }
    QCheckBox& SaveBox(int index) const { return *m_rows[index].save; }
    QLineEdit& FileField(int index) const { return *m_rows[index].file; }
    QSpinBox& TimeoutField(int index) const { return *m_rows[index].seconds; }

private:
    struct Row {
        QLineEdit* command = nullptr;
        QCheckBox* save = nullptr;
        QLineEdit* file = nullptr;
        QSpinBox* seconds = nullptr;
    };
    TerminalCommands::Commands Fields() const;

    Profile& m_profile;
    std::string m_file;
    Ui& m_ui;
    std::string m_caption;
    std::array<Row, TerminalCommands::kCount> m_rows;
};
