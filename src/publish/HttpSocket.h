#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/TcpSocket.h"

// Proxy settings of an HTTP request.
struct HttpProxy {
    std::string Host;
    std::string Password;
    std::string User;
    int Port = 8080;
};

// What HttpSocket is asked to send.
struct HttpRequest {
    std::string Url;
    int Port = 80;  // used when the URL names no port
    int IsGet = 0;  // non-zero: GET, zero: HEAD
    int UseProxy = 0;
    std::string UserAgent;
    HttpProxy Proxy;
};

// A minimal HTTP/1.1 client: one GET or HEAD, directly or through a proxy with
// optional Basic credentials, and one receive of at most 1023 reply bytes after
// a wait of up to 5 s. Reaches the network only through a TcpSocket and waits
// only through a Clock. One object serves one request; not thread-safe.
class HttpSocket {
public:
    static constexpr int kHostNotFound = 1;
    static constexpr int kConnectionRefused = 2;
    static constexpr int kServerRefused = 3;
    static constexpr int kProxyRefused = 4;
    static constexpr int kNotFound = 5;
    static constexpr int kNothingSent = 6;
    static constexpr int kNotHttp = 7;
    static constexpr int kBadPort = 8;
    static constexpr int kBadProxyPort = 9;
    static constexpr int kMalformed = 10;

    static constexpr std::size_t kBufferSize = 1024;
    static constexpr unsigned kReplyWaitMs = 5000;
    // How often the wait looks at the socket; a reply is taken at most this late.
    static constexpr unsigned kPollStepMs = 10;

    // Creates the socket at once; `clock` must outlive the object.
    HttpSocket(std::unique_ptr<TcpSocket> socket, Clock& clock);
    // As above, keeping a copy of the request's proxy settings.
    HttpSocket(const HttpRequest& request, std::unique_ptr<TcpSocket> socket, Clock& clock);
    virtual ~HttpSocket();
    HttpSocket(const HttpSocket&) = delete;
    HttpSocket& operator=(const HttpSocket&) = delete;

    // Sends the request and takes what arrives within 5 s (possibly nothing).
    // 0 on success, else the error code (also kept for ErrorText).
    int SendRequest(const HttpRequest& request);
    // The received reply bytes; empty when nothing arrived.
    std::string GetReply() const { return m_reply; }
    // The text of the current error, composed with the current host, path and port.
    std::string ErrorText() const;
    // The value after "name: " up to the next CR LF in the reply's header lines;
    // 0 when found, -1 otherwise (value unchanged).
    int GetHeader(std::string_view name, std::string& value) const;

    // The text of error `code` for these host, path, port and proxy settings.
    static std::string ErrorText(int code, const std::string& host, const std::string& path,
                                 int port, const HttpProxy& proxy);

    // Splits `url` into host, path and port; 0 or the error code.
    int ParseUrl(const std::string& url);

    // The request bytes as sent by the last SendRequest (empty before).
    const std::string& RequestText() const { return m_requestText; }
    // The same text with the credentials shown as "****", for logs and the output window.
    const std::string& MaskedRequestText() const { return m_maskedText; }

    int Error() const { return m_error; }
    const std::string& Scheme() const { return m_scheme; }
    const std::string& Host() const { return m_host; }
    const std::string& Path() const { return m_path; }
    int Port() const { return m_port; }
    bool PortInUrl() const { return m_portInUrl; }

    // Standard Base64 with "=" padding and CR LF after every 76 output characters.
    static std::string Base64(std::string_view bytes);
    // The request text for a parsed URL (host, path) and the request's settings;
    // `maskCredentials` writes "****" in place of the Base64 credentials.
    static std::string BuildRequestText(const HttpRequest& request, std::string_view scheme,
                                        std::string_view host, std::string_view path,
                                        bool maskCredentials = false);

private:
    int Fail(int code);
    void ReceiveReply();

    std::unique_ptr<TcpSocket> m_socket;
    Clock& m_clock;
    std::string m_url;
    std::string m_scheme = "http://";
    std::string m_host;
    std::string m_path;
    int m_port = 0;
    bool m_portInUrl = false;
    std::string m_reply;
    int m_error = 0;
    HttpProxy m_proxy;
    std::string m_requestText;
    std::string m_maskedText;
};
