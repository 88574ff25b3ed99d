#pragma once

#include "app/AcquisitionUi.h"

struct AppContext;
class QWidget;

// The connect's windows in the program: the initialisation window, the baud
// search window, and the end of a silent run.
class QtAcquisitionUi final : public AcquisitionUi {
public:
    QtAcquisitionUi(AppContext& context, QWidget* parent) : m_context(context), m_parent(parent) {}

    void RunInitialisation(CWetterDoc& document) override;
    bool SearchBaudRate(CDataBase& transport, SerialLineSettings& line) override;
    void ExitProcess(int code) override;

private:
    AppContext& m_context;
    QWidget* m_parent;
};
