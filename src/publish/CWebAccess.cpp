#include "publish/CWebAccess.h"

#include <cstdlib>

#include "model/TextNumbers.h"
#include "platform/CurlWebSession.h"

namespace {

std::string Environment(const char* lower, const char* upper) {
    const char* value = std::getenv(lower);
    if (value == nullptr || *value == '\0') value = std::getenv(upper);
    return value != nullptr ? value : "";
}

}  // namespace

CWebAccess::CWebAccess() : CWebAccess(std::make_unique<CurlWebSession>()) {}

CWebAccess::CWebAccess(std::unique_ptr<WebSession> session) : m_session(std::move(session)) {
    m_proxyServer = Environment("http_proxy", "HTTP_PROXY");
    if (!m_proxyServer.empty()) {
        m_proxyEnabled = 1;
        m_proxyOverride = Environment("no_proxy", "NO_PROXY");
    }
}

CWebAccess::~CWebAccess() = default;

CWebAccess::Target CWebAccess::SplitUrl(const std::string& url) {
    // Only a leading scheme is cut: "http" inside a host or query is part of them.
    std::string rest = url.starts_with("http://") ? url.substr(7) : url;
    Target target;
    const std::size_t slash = rest.find('/');
    target.server = rest.substr(0, slash);
    if (slash != std::string::npos) target.object = rest.substr(slash + 1);
    return target;
}

std::string CWebAccess::SessionUrl(const Target& target) {
    std::string host = target.server;
    int port = 80;
    if (const std::size_t colon = host.find(':'); colon != std::string::npos) {
        port = TextNumbers::Atoi(std::string_view(host).substr(colon + 1));
        host.erase(colon);
    }
    if (host.empty() || port < 1 || port > 65535) return {};
    for (const char c : host) {
        const auto byte = static_cast<unsigned char>(c);
        // Anything else in a host name would let the URL name another place.
        if (byte <= ' ' || byte >= 0x7F || c == '@' || c == '?' || c == '#' || c == '\\') return {};
    }

    std::string url = "http://" + host + ":" + std::to_string(port) + "/";
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : target.object) {
        const auto byte = static_cast<unsigned char>(c);
        // Spaces and control bytes would break the request line and "#" would end the
        // URL early; the rest is sent as given.
        if (byte <= ' ' || byte >= 0x7F || c == '#') {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 15];
        } else {
            url += c;
        }
    }
    return url;
}

int CWebAccess::GetPage(const std::string& url, std::string& result) {
    const std::string sessionUrl = SessionUrl(SplitUrl(url));
    if (sessionUrl.empty()) return kNotSent;

    WebSession::Reply reply = m_session->Fetch("POST", sessionUrl);
    switch (reply.outcome) {
        case WebSession::Reply::Outcome::NotSent:
            return kNotSent;
        case WebSession::Reply::Outcome::NoStatus:
            return kNoStatus;
        case WebSession::Reply::Outcome::Failed:
            result = reply.errorText.substr(0, kMaxErrorText);
            return reply.error;
        case WebSession::Reply::Outcome::Answered:
            break;
    }
    if (reply.status != 200) return static_cast<int>(reply.status);
    result = std::move(reply.body);
    return kOk;
}
