#include "app/StationDocuments.h"

#include <cerrno>
#include <set>
#include <string>

#include "app/AppContext.h"
#include "app/CWetterDoc.h"
#include "app/DocumentView.h"
#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/FileSystem.h"

StationDocuments::StationDocuments(AppContext& context)
    : m_context(context), m_switchboard(context) {
    m_context.host = &m_switchboard;
    m_context.lineReceiver = &m_switchboard;
}

StationDocuments::~StationDocuments() {
    CloseAll();
    if (m_context.host == &m_switchboard) m_context.host = nullptr;
    if (m_context.lineReceiver == &m_switchboard) m_context.lineReceiver = nullptr;
}

CWetterDoc& StationDocuments::Add() {
    m_documents.push_back(std::make_unique<CWetterDoc>(m_context));
    CWetterDoc& document = *m_documents.back();
    m_switchboard.AddDocument(document);
    return document;
}

void StationDocuments::TakeLastStoredRecords() {
    for (const auto& open : m_documents) {
        if (std::optional<DataFiles::LastRecord> last = open->FindLastRecord()) {
            open->SetLastStoredTime(last->time);
            for (DocumentView* view : open->Views()) view->ReloadData();
        }
    }
}

void StationDocuments::CloseAll() {
    std::set<std::string> folders;
    for (const auto& document : m_documents) {
        m_switchboard.RemoveDocument(*document);
        folders.insert(document->Storage().dataFolder);
        if (!document->Storage().additionalFolder.empty())
            folders.insert(document->Storage().additionalFolder);
    }
    // A document stops its station as it goes.
    m_documents.clear();
    // Live records were synced as they were stored; a logger read-out is not,
    // record by record, and may just have ended.
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        const FileSystem::Result synced = FileSystem::SyncFileSystemOf(folder);
        // A folder that is not there holds nothing to keep.
        if (!synced && synced.error != ENOENT)
            OutputWrite("StationDocuments::CloseAll " + folder + ": " +
                            FileSystem::SystemErrorText(synced.error) +
                            " <==> NR: " + std::to_string(synced.error),
                        kColourError);
    }
}
