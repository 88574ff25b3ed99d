#include "gui/platform/QtUi.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "gui/ui/ColourValue.h"
#include "gui/ui/Text.h"

namespace {
QMessageBox::StandardButtons ButtonsOf(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok:
            return QMessageBox::Ok;
        case MsgButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MsgButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MsgButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MsgButtons::RetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
        case MsgButtons::AbortRetryIgnore:
            return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::None:
            return QMessageBox::NoIcon;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Warning:
            return QMessageBox::Warning;
        case MsgIcon::Error:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// A box closed without a button (window manager, Escape) answers like Windows:
// Cancel where there is one, otherwise the first button.
MsgAnswer FallbackAnswer(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::OkCancel:
        case MsgButtons::YesNoCancel:
        case MsgButtons::RetryCancel:
            return MsgAnswer::Cancel;
        case MsgButtons::YesNo:
            return MsgAnswer::No;
        case MsgButtons::AbortRetryIgnore:
            return MsgAnswer::Abort;
    }
    return MsgAnswer::Ok;
}

std::optional<MsgAnswer> AnswerOf(int button) {
    switch (button) {
        case QMessageBox::Ok:
            return MsgAnswer::Ok;
        case QMessageBox::Cancel:
            return MsgAnswer::Cancel;
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        case QMessageBox::Retry:
            return MsgAnswer::Retry;
        case QMessageBox::Abort:
            return MsgAnswer::Abort;
        case QMessageBox::Ignore:
            return MsgAnswer::Ignore;
        default:
            return std::nullopt;
    }
}

QString CaptionOr(std::string_view caption) {
    return caption.empty() ? QApplication::applicationDisplayName() : FromBytes(caption);
}
}  // namespace

QtUi::QtUi() = default;

QtUi::~QtUi() = default;

MsgAnswer QtUi::MessageBox(std::string_view text, std::string_view caption, MsgButtons buttons,
                           MsgIcon icon) {
    QMessageBox box(IconOf(icon), CaptionOr(caption), FromBytes(text), ButtonsOf(buttons),
                    QApplication::activeWindow());
    return AnswerOf(box.exec()).value_or(FallbackAnswer(buttons));
}

void QtUi::CautionBox(std::string_view text) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), FromBytes(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void QtUi::ShowBusy(std::string_view text) {
    if (!m_busy) {
        m_busy = std::make_unique<QWidget>(
            nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        m_busy->setAttribute(Qt::WA_ShowWithoutActivating);
        auto* layout = new QVBoxLayout(m_busy.get());
        m_busyText = new QLabel(m_busy.get());
        m_busyText->setFrameStyle(QFrame::Panel | QFrame::Raised);
        m_busyText->setAlignment(Qt::AlignCenter);
        m_busyText->setMargin(16);
        // A running bar: the program is alive while it waits.
        auto* running = new QProgressBar(m_busy.get());
        running->setRange(0, 0);
        running->setTextVisible(false);
        layout->setContentsMargins(4, 4, 4, 4);
        layout->addWidget(m_busyText);
        layout->addWidget(running);
    }
    QString shown = FromBytes(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_busyText->setText(shown);
    m_busy->adjustSize();
    if (const QWidget* over = QApplication::activeWindow())
        m_busy->move(over->geometry().center() - m_busy->rect().center());
    m_busy->show();
    m_busy->raise();
    m_busy->repaint();
}

void QtUi::HideBusy() {
    m_busyText = nullptr;
    m_busy.reset();
}

std::optional<std::uint32_t> QtUi::ChooseColour(std::uint32_t initial) {
    const QColor chosen = QColorDialog::getColor(ToQColor(initial), QApplication::activeWindow());
    if (!chosen.isValid()) return std::nullopt;
    return ToColourValue(chosen);
}

std::optional<std::string> QtUi::ChooseFile(std::string_view caption, std::string_view initialPath,
                                            bool forSaving) {
    QWidget* parent = QApplication::activeWindow();
    const QString path =
        forSaving ? QFileDialog::getSaveFileName(parent, FromBytes(caption), FromPath(initialPath))
                  : QFileDialog::getOpenFileName(parent, FromBytes(caption), FromPath(initialPath));
    if (path.isEmpty()) return std::nullopt;
    return ToPath(path);
}

std::optional<std::string> QtUi::ChooseFileOfType(std::string_view caption,
                                                  std::string_view initialPath,
                                                  std::string_view filter) {
    const QString path =
        QFileDialog::getOpenFileName(QApplication::activeWindow(), FromBytes(caption),
                                     FromPath(initialPath), FileFilter(filter));
    if (path.isEmpty()) return std::nullopt;
    return ToPath(path);
}

std::optional<std::string> QtUi::ChooseSaveFileOfType(std::string_view caption,
                                                      std::string_view initialPath,
                                                      std::string_view filter,
                                                      std::string_view defaultExtension) {
    QFileDialog dialog(QApplication::activeWindow(), FromBytes(caption), FromPath(initialPath),
                       FileFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(FromBytes(defaultExtension));
    // A name typed without an extension takes the type chosen in the dialog.
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& type) {
            const qsizetype dot = type.lastIndexOf("*.");
            if (dot < 0) return;
            const QString suffix = type.mid(dot + 2).section(QRegularExpression("[ );]"), 0, 0);
            if (!suffix.isEmpty() && !suffix.contains('*')) dialog.setDefaultSuffix(suffix);
        });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return ToPath(dialog.selectedFiles().front());
}

QString QtUi::FileFilter(std::string_view windowsFilter) {
    const QStringList parts = FromBytes(windowsFilter).split('|', Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString pattern = QString(parts[i + 1]).replace(';', ' ');
        // A description that already shows its pattern is not given it twice.
        filters << (description.endsWith("(" + pattern + ")") ? description
                                                              : description + " (" + pattern + ")");
    }
    return filters.join(";;");
}

std::optional<std::string> QtUi::ChooseFolder(std::string_view caption,
                                              std::string_view initialPath) {
    const QString folder = QFileDialog::getExistingDirectory(
        QApplication::activeWindow(), FromBytes(caption), FromPath(initialPath));
    if (folder.isEmpty()) return std::nullopt;
    return ToPath(folder);
}
