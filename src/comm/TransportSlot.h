#pragma once

#include <memory>
#include <mutex>

#include "comm/CDataBase.h"

// A process-wide transport pointer. A reader thread takes its own reference,
// so a transport replaced meanwhile lives on until that thread lets go of it.
class TransportSlot {
public:
    std::shared_ptr<CDataBase> Get() const {
        std::lock_guard lock(m_mutex);
        return m_transport;
    }
    // Stores `transport` and returns the one it replaces.
    std::shared_ptr<CDataBase> Exchange(std::shared_ptr<CDataBase> transport) {
        std::lock_guard lock(m_mutex);
        m_transport.swap(transport);
        return transport;
    }
    void Reset() { Exchange(nullptr); }

private:
    mutable std::mutex m_mutex;
    std::shared_ptr<CDataBase> m_transport;
};
