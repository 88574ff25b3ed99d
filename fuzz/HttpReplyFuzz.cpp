// Any bytes as the server's reply: at most 1023 of them are kept, and a header
// value found in them never reaches past its line.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "FakeTcpSocket.h"
#include "model/OutputList.h"
#include "publish/HttpSocket.h"

namespace {

class StepClock final : public Clock {
public:
    std::time_t Now() override { return 0; }
    std::uint64_t TickMs() override { return m_tick; }
    void SleepMs(unsigned ms) override { m_tick += ms; }
    bool SetPcClock(std::time_t, std::string&) override { return false; }

private:
    std::uint64_t m_tick = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    OutputList::Process().Clear();  // the request lines would pile up over a run
    const std::string reply(reinterpret_cast<const char*>(data), size);

    StepClock clock;
    auto socket = std::make_unique<FakeTcpSocket>(&clock);
    socket->addresses = {{"h", 1}};
    socket->incoming = reply;
    HttpSocket client(std::move(socket), clock);
    HttpRequest request;
    request.Url = "http://h/x";
    if (client.SendRequest(request) != 0) std::abort();

    const std::string kept = client.GetReply();
    if (kept.size() > HttpSocket::kBufferSize - 1 || reply.compare(0, kept.size(), kept) != 0)
        std::abort();

    for (const char* name : {"Content-Length", "Date", "Server", "", "A"}) {
        std::string value = "unset";
        const int found = client.GetHeader(name, value);
        if (found == -1) {
            if (value != "unset") std::abort();
        } else if (found == 0) {
            if (value.find("\r\n") != std::string::npos) std::abort();
            if (kept.find(std::string(name) + ": " + value + "\r\n") == std::string::npos)
                std::abort();
        } else {
            std::abort();
        }
    }
    return 0;
}
