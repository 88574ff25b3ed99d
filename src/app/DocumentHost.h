#pragma once

#include <memory>
#include <string>

#include "app/ClockActions.h"

class CDataBase;
class CWetterDoc;

// What a station document asks of the main window. Every call comes on the
// user-interface thread.
class DocumentHost : public ClockActions {
public:
    ~DocumentHost() override = default;

    // The command-with-reply exchange: sends `command` to the station over
    // `transport` on behalf of `document` and returns at once; the reply is
    // awaited by the host.
    virtual void SendCommandWithReply(const std::string& command, CWetterDoc& document,
                                      std::shared_ptr<CDataBase> transport) = 0;
    // Runs process control for `document`. Arrives as a posted call, so the
    // document may have closed meanwhile: check it against the open ones first.
    virtual void RunProcessControl(CWetterDoc* document) = 0;
    // The station fell silent and reconnecting is on: remember `document` and
    // start the reconnect timer.
    virtual void ArmReconnect(CWetterDoc& document) = 0;
    // `document`'s link is up again: a reconnect armed for it is not needed.
    virtual void CancelReconnect(CWetterDoc&) {}
    // Cleared while a connect runs: the data-file check waits meanwhile.
    virtual void SetAcquisitionStarted(bool) {}
    // A document that opened with data files is the one a reconnect goes to.
    virtual void SetReconnectDocument(CWetterDoc&) {}
};
