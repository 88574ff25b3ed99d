#pragma once

#include <memory>

#include "app/InitSequence.h"
#include "comm/CFaden.h"

// One initialisation run: the sequence and the worker that talks to the
// station for it. The window that shows it owns the session.
class InitSession final : public CommandChannel {
public:
    InitSession(CWetterDoc& document, InitView& view, ClockDialog* clockDialog);
    ~InitSession() override;

    // The sequence's start, then the worker: nothing is sent before the first line.
    void Start();
    InitSequence& Sequence() { return *m_sequence; }

    void PostCommand(CommandRequest request) override { m_worker.PostCommand(std::move(request)); }
    void Quit() override { m_worker.RequestStop(); }

private:
    CFaden m_worker;
    std::shared_ptr<InitSequence> m_sequence;
};
