#include "app/InitSession.h"

#include "app/CWetterDoc.h"
#include "platform/ProgramPaths.h"

InitSession::InitSession(CWetterDoc& document, InitView& view, ClockDialog* clockDialog)
    : m_worker(document.Context().process, document.Context().clock, document.Context().events,
               document.Context().errorLog, document.Files(),
               document.Context().paths.InFolder("log.dat")),
      m_sequence(std::make_shared<InitSequence>(document, view, *this, clockDialog)) {
    m_worker.SetTarget(m_sequence);
}

InitSession::~InitSession() { m_worker.Stop(); }

void InitSession::Start() {
    m_sequence->Start();
    if (!m_sequence->Ended()) m_worker.Start();
}
