#pragma once

#include <memory>
#include <vector>

#include "app/MainSwitchboard.h"

struct AppContext;
class CWetterDoc;

// The program's open station documents and the switchboard that brings them
// the station's lines: what the main window and the service mode share. It is
// the context's document host and line receiver while it lives. Every call runs
// on the user-interface thread.
class StationDocuments final {
public:
    explicit StationDocuments(AppContext& context);
    // Closes every document that is still open.
    ~StationDocuments();
    StationDocuments(const StationDocuments&) = delete;
    StationDocuments& operator=(const StationDocuments&) = delete;

    // A further document, known to the switchboard; not opened yet (OnNewDocument).
    CWetterDoc& Add();
    // For every document: the last record in its data files becomes its last
    // stored time, and its views read their period again.
    void TakeLastStoredRecords();
    // Stops every station and closes its document; then whatever was written
    // without a sync of its own (logger records) is put onto the disk.
    void CloseAll();

    bool Contains(const CWetterDoc* document) const { return m_switchboard.IsOpen(document); }
    const std::vector<std::unique_ptr<CWetterDoc>>& Documents() const { return m_documents; }
    MainSwitchboard& Switchboard() { return m_switchboard; }

private:
    AppContext& m_context;
    MainSwitchboard m_switchboard;
    std::vector<std::unique_ptr<CWetterDoc>> m_documents;
};
