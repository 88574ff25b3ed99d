#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "comm/LineHandOver.h"
#include "comm/PendingCommand.h"
#include "comm/TransportSlot.h"
#include "model/CommandLine.h"
#include "model/StationSettings.h"
#include "platform/AutoResetEvent.h"

// Bytes the forwarding port did not take and that are not reported yet.
struct ForwardingLoss {
    std::uint64_t droppedBytes = 0;
    std::optional<std::uint64_t> reportedTick;  // when the last report was written
};

// The values held once for the whole process: the transports, what the last
// settings load read, the command line, and the flags and events the threads share.
// Settings are written only on the user-interface thread, by a settings load.
struct ProcessValues {
    TransportSlot CurrentTransport;
    TransportSlot PreviousTransport;
    // Built by a settings load while the link was up; the next connect takes it
    // as CurrentTransport, so the running link keeps its own until then.
    TransportSlot NextTransport;
    TransportSlot ForwardTransport;
    ForwardingLoss forwardingLoss;  // user-interface thread only

    ProcessWideSettings settings;
    CommandLineOptions commandLine;

    // Set around the initialisation: keeps record storing from writing its outputs.
    std::atomic<bool> initialisationRunning{false};

    // Left by the initialisation's reader for the acquisition reader.
    LineHandOver ReaderHandOver;

    AutoResetEvent ReaderStopEvent;
    AutoResetEvent AcquisitionStopEvent;
    AutoResetEvent PendingCommandEvent;
    PendingCommand PendingCommandText;  // already ending in "\r\n"
    AutoResetEvent BaudSearchAbortEvent;
};
