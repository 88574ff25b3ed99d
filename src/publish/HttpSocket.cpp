#include "publish/HttpSocket.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "model/Colours.h"
#include "model/OutputList.h"
#include "model/TextNumbers.h"

namespace {

constexpr std::uint32_t kColourRequest = Rgb(0, 0, 255);
constexpr std::string_view kHttpScheme = "http://";
// The scheme part is the first 7 characters ("http://"); a path is looked for after it.
constexpr std::size_t kAfterScheme = 7;

bool IsPort(int port) { return port >= 1 && port <= 65535; }

}  // namespace

HttpSocket::HttpSocket(std::unique_ptr<TcpSocket> socket, Clock& clock)
    : m_socket(std::move(socket)), m_clock(clock) {
    // A failure here shows later as a refused connection, as it would without a socket.
    (void)m_socket->Create();
}

HttpSocket::HttpSocket(const HttpRequest& request, std::unique_ptr<TcpSocket> socket, Clock& clock)
    : HttpSocket(std::move(socket), clock) {
    m_proxy = request.Proxy;
}

HttpSocket::~HttpSocket() { m_socket->Close(); }

int HttpSocket::Fail(int code) {
    m_error = code;
    return code;
}

int HttpSocket::ParseUrl(const std::string& url) {
    m_host.clear();
    m_path = "/";
    m_portInUrl = false;

    // A scheme counts only where it opens the URL: "http://" inside a query is no scheme.
    const std::size_t separator = url.find("://");
    const bool hasScheme = separator != std::string::npos && url.find('/') == separator + 1;
    if (hasScheme && url.compare(0, kHttpScheme.size(), kHttpScheme) != 0) return Fail(kNotHttp);

    const std::size_t slash =
        url.size() > kAfterScheme ? url.find('/', kAfterScheme) : std::string::npos;
    if (slash == std::string::npos) {
        m_host = hasScheme ? url.substr(kAfterScheme) : url;
    } else {
        m_host = hasScheme ? url.substr(kAfterScheme, slash - kAfterScheme) : url.substr(0, slash);
        m_path = url.substr(slash);
    }

    const std::size_t colon = m_host.find(':');
    if (colon != std::string::npos) {
        m_portInUrl = true;
        m_port = TextNumbers::Atoi(std::string_view(m_host).substr(colon + 1));
        if (!IsPort(m_port)) return Fail(kBadPort);
        m_host.erase(colon);
    }
    // Without a host there is nobody to ask (an empty name would reach the resolver).
    if (m_host.empty()) return Fail(kMalformed);
    return 0;
}

std::string HttpSocket::Base64(std::string_view bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    constexpr int kGroupsPerLine = 19;
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4 + bytes.size() / 57 * 2);
    int groups = 0;
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t v = static_cast<std::uint8_t>(bytes[i]) << 16 |
                                static_cast<std::uint8_t>(bytes[i + 1]) << 8 |
                                static_cast<std::uint8_t>(bytes[i + 2]);
        out += kAlphabet[v >> 18 & 63];
        out += kAlphabet[v >> 12 & 63];
        out += kAlphabet[v >> 6 & 63];
        out += kAlphabet[v & 63];
        if (++groups == kGroupsPerLine) {
            out += "\r\n";
            groups = 0;
        }
    }
    const std::size_t left = bytes.size() - i;
    if (left > 0) {
        std::uint32_t v = static_cast<std::uint8_t>(bytes[i]) << 16;
        if (left == 2) v |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
        out += kAlphabet[v >> 18 & 63];
        out += kAlphabet[v >> 12 & 63];
        out += left == 2 ? kAlphabet[v >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

std::string HttpSocket::BuildRequestText(const HttpRequest& request, std::string_view scheme,
                                         std::string_view host, std::string_view path,
                                         bool maskCredentials) {
    std::string text = request.IsGet != 0 ? "GET " : "HEAD ";
    if (request.UseProxy != 0) {
        const HttpProxy& proxy = request.Proxy;
        text.append(scheme).append(host).append(path).append(" HTTP/1.1\r\n");
        if (!proxy.User.empty()) {
            text += "Authorization: Basic ";
            text += maskCredentials ? "****" : Base64(proxy.User + ":" + proxy.Password);
            text += "\r\n";
        }
        text += "Proxy:\"http://" + proxy.Host + ":" + std::to_string(proxy.Port) + "\"\r\n";
    } else {
        text.append(path).append(" HTTP/1.1\r\n");
    }
    text.append("Host: ").append(host).append("\r\n");
    text += "User-Agent: " + request.UserAgent + "\r\n";
    text += "Accept: */*\r\n";
    text += "Accept-Language: en-us,en;q=0.5\r\n";
    text += "Connection: close\r\n";
    text += "\r\n";
    return text;
}

int HttpSocket::SendRequest(const HttpRequest& request) {
    m_error = 0;
    m_reply.clear();
    m_requestText.clear();
    m_maskedText.clear();
    m_url = request.Url;
    m_proxy = request.Proxy;
    m_port = request.Port;
    const bool viaProxy = request.UseProxy != 0;

    if (const int code = ParseUrl(m_url); code != 0) return code;
    if (!m_portInUrl) m_port = request.Port;
    if (!IsPort(m_port)) return Fail(kBadPort);
    // Checked so that a bad setting cannot wrap around into another port.
    if (viaProxy && !IsPort(m_proxy.Port)) return Fail(kBadProxyPort);

    m_requestText = BuildRequestText(request, m_scheme, m_host, m_path);
    m_maskedText = BuildRequestText(request, m_scheme, m_host, m_path, true);
    if (viaProxy) OutputWrite(" P R O X Y\r\n", kColourRequest);
    OutputWrite(m_maskedText, kColourRequest);

    const std::string& target = viaProxy ? m_proxy.Host : m_host;
    const int targetPort = viaProxy ? m_proxy.Port : m_port;
    const std::optional<std::uint32_t> address = m_socket->Resolve(target);
    if (!address) {
        std::printf("Failed to resolve %s\n", target.c_str());
        std::fflush(stdout);
        return Fail(kHostNotFound);
    }
    if (m_socket->Connect(*address, static_cast<std::uint16_t>(targetPort)) != 0)
        return Fail(viaProxy ? kProxyRefused : kServerRefused);

    const long sent = m_socket->Send(m_requestText);
    m_reply.clear();
    if (sent < 1) return Fail(kNothingSent);

    ReceiveReply();
    return 0;
}

void HttpSocket::ReceiveReply() {
    // Polled in steps through the clock so that a manual clock can run the whole wait.
    const std::uint64_t start = m_clock.TickMs();
    for (;;) {
        const TcpSocket::Wait wait = m_socket->WaitReadable(0);
        if (wait == TcpSocket::Wait::Failed) return;
        if (wait == TcpSocket::Wait::Readable) {
            char buffer[kBufferSize];
            // One byte of the buffer was the terminating zero: at most 1023 reply bytes.
            const long n = m_socket->Receive(buffer, kBufferSize - 1);
            if (n > 0) m_reply.assign(buffer, static_cast<std::size_t>(n));
            return;
        }
        const std::uint64_t waited = m_clock.TickMs() - start;
        if (waited >= kReplyWaitMs) return;
        m_clock.SleepMs(
            static_cast<unsigned>(std::min<std::uint64_t>(kPollStepMs, kReplyWaitMs - waited)));
    }
}

int HttpSocket::GetHeader(std::string_view name, std::string& value) const {
    // Only the header lines count, and a name only where a line starts ("X-Date" is no "Date").
    const std::string_view reply(m_reply);
    const std::size_t headerEnd = reply.find("\r\n\r\n");
    const std::string_view headers =
        headerEnd == std::string_view::npos ? reply : reply.substr(0, headerEnd + 2);
    const std::string pattern = "\n" + std::string(name) + ": ";
    const std::size_t at = headers.find(pattern);
    if (at == std::string_view::npos) return -1;
    const std::size_t start = at + pattern.size();
    // A line cut off by the end of the buffer has no known value.
    const std::size_t end = headers.find("\r\n", start);
    if (end == std::string_view::npos) return -1;
    value.assign(headers.substr(start, end - start));
    return 0;
}

std::string HttpSocket::ErrorText() const {
    return ErrorText(m_error, m_host, m_path, m_port, m_proxy);
}

std::string HttpSocket::ErrorText(int code, const std::string& host, const std::string& path,
                                  int port, const HttpProxy& proxy) {
    switch (code) {
        case kHostNotFound:
            return "Host " + host + " could not be found";
        case kConnectionRefused:
            return "Connection refused to " + host + " on port " + std::to_string(port);
        case kServerRefused:
            return "Connection refused to HTTP Server " + host + " on port " + std::to_string(port);
        case kProxyRefused:
            return "Connection refused to HTTP Proxy " + proxy.Host + " on port " +
                   std::to_string(proxy.Port);
        case kNotFound:
            return path + " was not found at " + host;
        case kNothingSent:
            return "Not able to send any bytes to " + host;
        case kNotHttp:
            return "Non HTTP URI's are not supported";
        case kBadPort:
            return "HTTP Port specified should be in the range 1 - 65535";
        case kBadProxyPort:
            return "HTTP Proxy Port specified should be in the range 1 - 65535";
        case kMalformed:
            return "The URI is malformed";
        default:
            return "Unknown Error";
    }
}
