#pragma once

#include <functional>

// Hands a call over to the user-interface thread (the posted window messages
// of the original). Post may be called from any thread; the call runs later,
// on the user-interface thread, in the order posted.
class EventQueue {
public:
    virtual ~EventQueue() = default;
    virtual void Post(std::function<void()> call) = 0;
};
