// Any bytes as URL, proxy credentials and user agent through ParseUrl and the
// request building, sent over a fake socket: the bytes sent are the request
// text, it ends with its blank line, and the masked text never shows the
// credentials.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FakeTcpSocket.h"
#include "model/OutputList.h"
#include "publish/HttpSocket.h"

namespace {

// Moves only when slept on, so the reply wait ends at once.
class StepClock final : public Clock {
public:
    std::time_t Now() override { return 0; }
    std::uint64_t TickMs() override { return m_tick; }
    void SleepMs(unsigned ms) override { m_tick += ms; }
    bool SetPcClock(std::time_t, std::string&) override { return false; }

private:
    std::uint64_t m_tick = 0;
};

std::vector<std::string> Fields(std::string_view text, std::size_t count) {
    std::vector<std::string> fields(count);
    std::size_t field = 0;
    for (const char c : text) {
        if (c == '\x01' && field + 1 < count)
            ++field;
        else
            fields[field] += c;
    }
    return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    OutputList::Process().Clear();  // the request lines would pile up over a run
    if (size == 0) return 0;
    const std::uint8_t flags = data[0];
    const auto fields =
        Fields(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), 4);

    HttpRequest request;
    request.Url = fields[0];
    request.IsGet = flags & 1;
    request.UseProxy = (flags >> 1) & 1;
    request.Port = (flags & 4) != 0 ? 80 : static_cast<int>(flags) * 300 - 1000;
    request.UserAgent = fields[3];
    request.Proxy = {"proxy.lan", fields[2], fields[1], (flags & 8) != 0 ? 3128 : flags * 700};

    StepClock clock;
    auto socket = std::make_unique<FakeTcpSocket>(&clock);
    socket->addresses = {{"proxy.lan", 1}};
    FakeTcpSocket* fake = socket.get();
    HttpSocket client(std::move(socket), clock);

    // Every host the URL may name is known, so that the request is sent.
    HttpSocket probe(std::make_unique<FakeTcpSocket>(), clock);
    if (probe.ParseUrl(request.Url) == 0) fake->addresses[probe.Host()] = 2;

    const int code = client.SendRequest(request);
    if (code < 0 || code > 10) std::abort();
    if (client.ErrorText().empty()) std::abort();
    if (code != 0) {
        if (!fake->sent.empty()) std::abort();
        return 0;
    }
    const std::string& text = client.RequestText();
    if (fake->sent != text) std::abort();
    if (text.size() < 4 || text.compare(text.size() - 4, 4, "\r\n\r\n") != 0) std::abort();
    if (client.Host().empty() || client.Path().empty() || client.Path()[0] != '/') std::abort();
    if (client.Port() < 1 || client.Port() > 65535) std::abort();
    if (request.UseProxy != 0 && !request.Proxy.User.empty()) {
        const std::string secret =
            HttpSocket::Base64(request.Proxy.User + ":" + request.Proxy.Password);
        if (text.find(secret) == std::string::npos) std::abort();
        if (client.MaskedRequestText().find("Authorization: Basic ****\r\n") == std::string::npos)
            std::abort();
    }
    return 0;
}
