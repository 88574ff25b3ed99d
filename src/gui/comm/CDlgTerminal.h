#pragma once

// CDlgTerminal is the terminal window.

#include <QDockWidget>
#include <array>
#include <string>

#include "app/Terminal.h"

struct AppContext;
class CMyTermListBox;
class MainSwitchboard;
class QAction;
class QLineEdit;
class QMenu;
class QPushButton;

// "Terminal": a dock window of the main window that shows the station's lines
// as they arrive, sends what is typed, offers the eight user commands in its
// "Commands" menu and records a response while "Stop reading data" is enabled.
class CDlgTerminal final : public QDockWidget {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Terminal";

    // Gets every line `switchboard` receives from now on.
    CDlgTerminal(AppContext& context, MainSwitchboard& switchboard, QWidget* parent = nullptr);
    ~CDlgTerminal() override;

    // A received line, with its "\r\n".
    void AddLine(const std::string& line);
    // "Send": the entry field's text.
    void SendEntry();
    // "Copy all": the shown lines on the clipboard.
    void CopyAll();
    // "Settings": the command settings; after "Save" the menu shows the new commands.
    void ShowCommandSettings();
    // The "Commands" menu as the settings file says now.
    void UpdateCommandMenu();

    Terminal& Core() { return m_terminal; }
    CMyTermListBox& List() const { return *m_list; }
    QLineEdit& EntryField() const { return *m_entry; }
    QPushButton& SendButton() const { return *m_send; }
    QPushButton& StopButton() const { return *m_stop; }
    QAction& CopyAllAction() const { return *m_copyAll; }
    // User command `number` (1..8).
    QAction& UserAction(int number) const { return *m_user[number - 1]; }
    QAction& SettingsAction() const { return *m_settings; }

protected:
    // Keeps "Copy all" on its shortcut while the entry field has the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppContext& m_context;
    Terminal m_terminal;
    CMyTermListBox* m_list;
    QLineEdit* m_entry;
    QPushButton* m_send;
    QPushButton* m_stop;
    QAction* m_copyAll;
    std::array<QAction*, TerminalCommands::kCount> m_user{};
    QAction* m_settings;
};
