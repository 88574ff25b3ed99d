#pragma once

#include <functional>

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
    bool SetUpStation(CWetterDoc& document) override {
        if (!m_setUpStation) return false;
        m_setUpStation(document);
        return true;
    }
    // The main window's windows for a first start.
    void SetStationSetUp(std::function<void(CWetterDoc&)> setUp) { m_setUpStation = std::move(setUp); }

private:
    AppContext& m_context;
    QWidget* m_parent;
    std::function<void(CWetterDoc&)> m_setUpStation;
};
