#include "comm/ReceiveBytes.h"

#include <memory>
#include <thread>

#include "comm/CDataBase.h"
#include "comm/TransportSlot.h"
#include "platform/Clock.h"

void ReceiveBytes(const TransportSlot& slot, Clock& clock,
                  const std::function<bool(CDataBase* transport)>& stop,
                  const std::function<void(char byte, CDataBase& transport)>& onByte) {
    while (true) {
        // A reference of our own: a settings load may replace the slot's transport meanwhile.
        const std::shared_ptr<CDataBase> transport = slot.Get();
        if (transport != nullptr && transport->IsOpen()) {
            char byte = 0;
            // A lost link has already waited as silence would: both end the poll alike.
            if (transport->Read(&byte, 1) == CDataBase::ReadResult::Received)
                onByte(byte, *transport);
        } else {
            clock.SleepMs(kNoLinkWaitMs);
        }
        if (stop(transport.get())) return;
        std::this_thread::yield();
    }
}
