#pragma once

#include "comm/TransportFactory.h"
#include "comm/TransportServices.h"

// Builds the real transports on the system's serial ports and sockets.
class SystemTransportFactory final : public TransportFactory {
public:
    explicit SystemTransportFactory(TransportServices& services) : m_services(services) {}

    std::shared_ptr<CDataBase> MakeSerial(const SerialLineSettings& line) override;
    std::shared_ptr<CDataBase> MakeTcp(const std::string& address, int port) override;
    std::shared_ptr<CDataBase> MakeModem(const ModemSettings& modem) override;

private:
    TransportServices& m_services;
};
