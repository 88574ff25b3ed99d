#include "gui/comm/CInitDlg.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/InitSession.h"
#include "gui/ui/Text.h"

CInitDlg::CInitDlg(CWetterDoc& document, ClockDialog* clockDialog, QWidget* parent)
    : QDialog(parent),
      m_session(std::make_unique<InitSession>(document, *this, clockDialog)),
      m_status(new QLabel(QStringLiteral("Waiting for data..."), this)),
      m_progress(new QProgressBar(this)),
      m_activity(new QProgressBar(this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Initialisation"));
    setModal(true);
    // A running bar stands for the animation: the user sees the program is alive.
    m_activity->setRange(0, 0);
    m_activity->setTextVisible(false);
    m_activity->setMaximumHeight(8);
    m_status->setMinimumWidth(320);
    m_progress->setTextVisible(false);
    m_cancel->setEnabled(false);
    m_cancel->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_activity);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);

    connect(m_cancel, &QPushButton::clicked, this,
            [this] { m_session->Sequence().RequestCancel(); });
}

CInitDlg::~CInitDlg() = default;

int CInitDlg::Run() {
    m_session->Start();
    if (m_session->Sequence().Ended()) return QDialog::Accepted;
    return exec();
}

InitSequence& CInitDlg::Sequence() { return m_session->Sequence(); }

void CInitDlg::SetCaption(const std::string& caption) { setWindowTitle(FromBytes(caption)); }

void CInitDlg::SetStatus(const std::string& status) { m_status->setText(FromBytes(status)); }

void CInitDlg::SetProgressRange(int maximum) { m_progress->setRange(0, maximum); }

void CInitDlg::SetProgress(int position) { m_progress->setValue(position); }

void CInitDlg::EnableCancel(bool enabled) { m_cancel->setEnabled(enabled); }

void CInitDlg::Finished() { done(QDialog::Accepted); }

QString CInitDlg::StatusText() const { return m_status->text(); }

void CInitDlg::reject() {
    if (m_session->Sequence().Ended()) {
        QDialog::reject();
        return;
    }
    // Ends the dialog through Finished() when the user says Yes.
    m_session->Sequence().RequestCancel();
}
