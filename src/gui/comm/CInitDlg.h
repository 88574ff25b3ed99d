#pragma once

// CInitDlg is the initialisation window.

#include <QDialog>
#include <memory>

#include "app/InitSequence.h"

class CWetterDoc;
class ClockDialog;
class InitSession;
class QLabel;
class QProgressBar;
class QPushButton;

// The initialisation window: shows what the initialisation sequence does
// (caption, status, progress) and asks before "Cancel" ends it.
class CInitDlg final : public QDialog, public InitView {
    Q_OBJECT
public:
    CInitDlg(CWetterDoc& document, ClockDialog* clockDialog, QWidget* parent = nullptr);
    ~CInitDlg() override;

    // Starts the sequence and waits until it has ended.
    int Run();
    InitSequence& Sequence();

    void SetCaption(const std::string& caption) override;
    void SetStatus(const std::string& status) override;
    void SetProgressRange(int maximum) override;
    void SetProgress(int position) override;
    void EnableCancel(bool enabled) override;
    void Finished() override;

    QString StatusText() const;
    QPushButton& CancelButton() const { return *m_cancel; }

public slots:
    // Escape and the close box ask the same question as "Cancel".
    void reject() override;

private:
    std::unique_ptr<InitSession> m_session;
    QLabel* m_status;
    QProgressBar* m_progress;
    QProgressBar* m_activity;
    QPushButton* m_cancel;
};
