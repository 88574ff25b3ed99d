#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/WebSession.h"

// One web access session for the HTTP upload: a POST without body as HTTP/1.0
// through the system's internet access, with the result codes the upload expects.
class CWebAccess {
public:
    static constexpr int kOk = 1;
    static constexpr int kNotSent = -20;
    static constexpr int kNoStatus = -21;
    static constexpr std::size_t kMaxErrorText = 1023;

    // On libcurl.
    CWebAccess();
    explicit CWebAccess(std::unique_ptr<WebSession> session);
    virtual ~CWebAccess();
    CWebAccess(const CWebAccess&) = delete;
    CWebAccess& operator=(const CWebAccess&) = delete;

    // 1 with `result` = the body on status 200; the status for any other (result
    // unchanged); -20 when the request could not be made; -21 when no status came
    // back; the library's error code with `result` = its text (at most 1023
    // characters) when the exchange failed.
    int GetPage(const std::string& url, std::string& result);

    // The server ("host" or "host:port") and object (without the leading "/") of `url`.
    struct Target {
        std::string server;
        std::string object;
    };
    static Target SplitUrl(const std::string& url);
    // The URL the session is given: the server's port is used (80 when it names
    // none), and bytes that cannot stand in a request line are %-escaped.
    // Empty when the server has no host or an unusable port.
    static std::string SessionUrl(const Target& target);

    // The proxy in the environment, kept for display only: the session applies it.
    const std::string& ProxyServer() const { return m_proxyServer; }
    const std::string& ProxyOverride() const { return m_proxyOverride; }
    int ProxyEnabled() const { return m_proxyEnabled; }

private:
    std::unique_ptr<WebSession> m_session;
    std::string m_proxyServer;
    std::string m_proxyOverride;
    int m_proxyEnabled = 0;
};
