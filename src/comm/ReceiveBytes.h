#pragma once

#include <functional>

class CDataBase;
class Clock;
class TransportSlot;

// How long a reader waits before it looks again when there is no open link.
inline constexpr unsigned kNoLinkWaitMs = 50;

// The receive loop of both station readers: polls the transport in `slot` one
// byte at a time (each poll takes the transport's own read wait) and hands
// every received byte to `onByte` with the transport it came from. Without an
// open transport it waits as a silent line would. After every poll `stop` is
// asked, with the transport polled (null when there was none), whether to end.
void ReceiveBytes(const TransportSlot& slot, Clock& clock,
                  const std::function<bool(CDataBase* transport)>& stop,
                  const std::function<void(char byte, CDataBase& transport)>& onByte);
