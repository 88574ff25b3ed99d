#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/StationSettings.h"
#include "comm/CDataBase.h"
#include "comm/TransportFactory.h"

// A transport that records what it was built from and what was done with it.
class FakeTransport final : public CDataBase {
public:
    explicit FakeTransport(std::string description) : description(std::move(description)) {}

    bool Open() override { return open = openSucceeds; }
    bool Read(char*, int) override { return false; }
    int Write(const std::string& text) override {
        written.push_back(text);
        return static_cast<int>(text.size());
    }
    int Close() override {
        open = false;
        ++closes;
        return 0;
    }
    std::string GetDescription() const override { return description; }
    bool PurgeInput() override { return true; }
    bool IsOpen() const override { return open; }
    bool SearchBaudRate(SerialLineSettings&) override { return true; }

    std::string description;
    bool openSucceeds = true;
    bool open = false;
    int closes = 0;
    std::vector<std::string> written;
};

// Builds fake transports described by their settings ("serial COM1 9600 8 0 2").
class FakeTransportFactory final : public TransportFactory {
public:
    std::shared_ptr<CDataBase> MakeSerial(const SerialLineSettings& l) override {
        return Made("serial " + l.port + " " + std::to_string(l.baudRate) + " " +
                    std::to_string(l.dataBits) + " " + std::to_string(l.parity) + " " +
                    std::to_string(l.stopBits));
    }
    std::shared_ptr<CDataBase> MakeTcp(const std::string& address, int port) override {
        return Made("tcp " + address + " " + std::to_string(port));
    }
    std::shared_ptr<CDataBase> MakeModem(const ModemSettings& m) override {
        return Made("modem " + m.line.port + " " + std::to_string(m.line.baudRate) + " " +
                    m.dialCommand + m.phoneNumber + m.dialTerminator);
    }
    std::vector<std::string> made;

private:
    std::shared_ptr<CDataBase> Made(std::string description) {
        made.push_back(description);
        return std::make_shared<FakeTransport>(std::move(description));
    }
};
