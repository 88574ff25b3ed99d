#include "gui/comm/QtModemUi.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QWidget>

#include "gui/comm/CDlgPinPuk.h"

namespace {

// Keeps a person's clicks and keys away from the main windows while the modem
// dialogue runs; its own windows are dialogs or tool windows and stay usable.
class InputGate final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Wheel:
            case QEvent::Shortcut:
            case QEvent::ShortcutOverride:
            case QEvent::Close:
                break;
            default:
                return false;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr) return false;
        const QWidget* window = widget->window();
        const bool own =
            qobject_cast<const QDialog*>(window) != nullptr || window->windowType() == Qt::Tool;
        if (own) return false;
        if (event->type() == QEvent::Close) event->ignore();
        return true;
    }
};

}  // namespace

QtModemUi::QtModemUi(Ui& ui, EventQueue& events)
    : m_windows(ui,
                [](std::string_view prompt) {
                    return CDlgPinPuk::Ask(prompt, QApplication::activeWindow());
                }),
      m_offThread(m_windows, events, &QtModemUi::ServeUntil) {}

void QtModemUi::ServeUntil(const std::function<bool()>& done) {
    InputGate gate;
    qApp->installEventFilter(&gate);
    QEventLoop loop;
    // Waits for events, not in a busy loop; the dialogue's end posts one.
    while (!done()) loop.processEvents(QEventLoop::WaitForMoreEvents);
    qApp->removeEventFilter(&gate);
}
