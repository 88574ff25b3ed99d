#include "comm/SystemTransportFactory.h"

#include "comm/CDataSeriell.h"
#include "comm/CDataSeriellAT.h"
#include "comm/CDataTCP_IP.h"

std::shared_ptr<CDataBase> SystemTransportFactory::MakeSerial(const SerialLineSettings& line) {
    return std::make_shared<CDataSeriell>(line, m_services);
}

std::shared_ptr<CDataBase> SystemTransportFactory::MakeTcp(const std::string& address, int port) {
    return std::make_shared<CDataTCP_IP>(address, port, m_services);
}

std::shared_ptr<CDataBase> SystemTransportFactory::MakeModem(const ModemSettings& modem) {
    return std::make_shared<CDataSeriellAT>(modem, m_services);
}
