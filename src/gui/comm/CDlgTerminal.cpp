#include "gui/comm/CDlgTerminal.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/MainSwitchboard.h"
#include "gui/comm/CDlgBefehlSetts.h"
#include "gui/comm/CMyTermListBox.h"
#include "gui/ui/Text.h"
#include "platform/ProgramPaths.h"

namespace {
// A command shown as a menu text: its "&" is no shortcut mark.
QString MenuText(const std::string& text) {
    return FromBytes(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}
}  // namespace

CDlgTerminal::CDlgTerminal(AppContext& context, MainSwitchboard& switchboard, QWidget* parent)
    : QDockWidget(QString::fromLatin1(kTitle), parent),
      m_context(context),
      m_terminal(context),
      m_list(new CMyTermListBox),
      m_entry(new QLineEdit),
      m_send(new QPushButton(QStringLiteral("Send"))),
      m_stop(new QPushButton(QStringLiteral("Stop reading data"))) {
    setObjectName(QStringLiteral("Terminal"));
    auto* body = new QWidget;
    auto* menus = new QMenuBar(body);

    QMenu* edit = menus->addMenu(QStringLiteral("Edit"));
    m_copyAll = edit->addAction(QStringLiteral("Copy all\tStrg+A"));
    m_copyAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    m_copyAll->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    // The accelerator works wherever the focus is in the terminal.
    addAction(m_copyAll);
    connect(m_copyAll, &QAction::triggered, this, &CDlgTerminal::CopyAll);

    QMenu* commands = menus->addMenu(QStringLiteral("Commands"));
    for (int n = 1; n <= TerminalCommands::kCount; ++n) {
        m_user[n - 1] = commands->addAction(QStringLiteral("User %1").arg(n));
        connect(m_user[n - 1], &QAction::triggered, this,
                [this, n] { m_terminal.RunUserCommand(n); });
    }
    commands->addSeparator();
    m_settings = commands->addAction(QStringLiteral("Settings"));
    connect(m_settings, &QAction::triggered, this, &CDlgTerminal::ShowCommandSettings);

    m_entry->setClearButtonEnabled(true);
    m_entry->installEventFilter(this);
    m_send->setDefault(true);
    m_stop->setEnabled(false);
    auto* entryRow = new QHBoxLayout;
    entryRow->addWidget(m_entry, 1);
    entryRow->addWidget(m_send);
    entryRow->addWidget(m_stop);

    auto* layout = new QVBoxLayout(body);
    layout->setMenuBar(menus);
    layout->addWidget(m_list, 1);
    layout->addLayout(entryRow);
    setWidget(body);
    setFocusProxy(m_entry);

    connect(m_send, &QPushButton::clicked, this, &CDlgTerminal::SendEntry);
    connect(m_entry, &QLineEdit::returnPressed, this, &CDlgTerminal::SendEntry);
    connect(m_stop, &QPushButton::clicked, this, [this] { m_terminal.StopRecording(); });
    m_terminal.SetRecordingListener([this](bool recording) { m_stop->setEnabled(recording); });

    // The switchboard may outlive this window, and this window the switchboard
    // (both go when the main window closes): the call checks that it is still here.
    QPointer<CDlgTerminal> self(this);
    switchboard.SetTerminal([self](const std::string& line) {
        if (self) self->AddLine(line);
    });
    UpdateCommandMenu();
}

CDlgTerminal::~CDlgTerminal() = default;

bool CDlgTerminal::eventFilter(QObject* watched, QEvent* event) {
    // A line edit claims Ctrl+A for selecting its own text before any shortcut
    // is looked at; in the terminal the menu promises it for "Copy all", and
    // the field's text is selected after every send anyway.
    if (watched == m_entry && event->type() == QEvent::ShortcutOverride &&
        QKeySequence(static_cast<QKeyEvent*>(event)->keyCombination()) == m_copyAll->shortcut()) {
        event->ignore();
        return true;
    }
    return QDockWidget::eventFilter(watched, event);
}

void CDlgTerminal::AddLine(const std::string& line) {
    const bool removed = m_terminal.AddLine(line);
    m_list->AddLine(FromBytes(m_terminal.Lines().Lines().back()), removed);
}

void CDlgTerminal::SendEntry() {
    if (m_terminal.Send(ToBytes(m_entry->text())))
        // Kept for sending again; typing replaces it.
        m_entry->selectAll();
    m_entry->setFocus();
}

void CDlgTerminal::CopyAll() {
    QGuiApplication::clipboard()->setText(FromBytes(m_terminal.Lines().AllText()));
}

void CDlgTerminal::UpdateCommandMenu() {
    const TerminalCommands::Commands commands = m_terminal.UserCommands();
    for (int i = 0; i < TerminalCommands::kCount; ++i) {
        m_user[i]->setText(MenuText(TerminalCommands::MenuText(commands[i])));
        m_user[i]->setEnabled(!commands[i].command.empty());
    }
}

void CDlgTerminal::ShowCommandSettings() {
    CDlgBefehlSetts dialog(m_context.profile, m_terminal.CommandsFile(), m_context.ui,
                           m_context.paths.ProgramName(), this);
    if (dialog.exec() == QDialog::Accepted) UpdateCommandMenu();
}
