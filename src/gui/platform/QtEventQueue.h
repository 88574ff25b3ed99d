#pragma once

#include <QObject>
#include <memory>

#include "platform/EventQueue.h"

// Runs posted calls on the Qt thread, in the order posted, as queued invocations
// on an object that lives there. Post may be called from any thread; the queue
// must be created on the Qt thread and outlive every thread that posts to it.
class QtEventQueue final : public EventQueue {
public:
    QtEventQueue();
    ~QtEventQueue() override;

    void Post(std::function<void()> call) override;

private:
    // Calls still waiting when this goes away are dropped with it.
    std::unique_ptr<QObject> m_receiver;
};
