#pragma once

#include <memory>

#include "comm/CDataBase.h"
#include "model/StationSettings.h"

// Builds the transport that a connection type asks for. The station document
// calls it while loading its settings; a null result means no transport.
class TransportFactory {
public:
    virtual ~TransportFactory() = default;
    virtual std::shared_ptr<CDataBase> MakeSerial(const SerialLineSettings& line) = 0;
    virtual std::shared_ptr<CDataBase> MakeTcp(const std::string& address, int port) = 0;
    virtual std::shared_ptr<CDataBase> MakeModem(const ModemSettings& modem) = 0;
};
