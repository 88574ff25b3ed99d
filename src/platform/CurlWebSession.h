#pragma once

#include <cstddef>
#include <stop_token>
#include <string>

#include "platform/WebSession.h"

// A WebSession on libcurl. The proxy comes from the environment (http_proxy,
// no_proxy) as libcurl reads it; time-outs keep a dead server from holding the
// caller forever.
class CurlWebSession final : public WebSession {
public:
    struct Options {
        std::string userAgent = "wetter";
        long connectTimeoutMs = 10000;
        long totalTimeoutMs = 30000;
        // A body beyond this is cut; nobody needs more than a page of answer.
        std::size_t maxBodyBytes = 1 << 20;
        // A stop request ends the exchange within about a second (Failed), so a
        // worker thread can be stopped while a server keeps it waiting.
        std::stop_token stop;
    };

    CurlWebSession();
    explicit CurlWebSession(Options options);

    Reply Fetch(std::string_view verb, const std::string& url) override;

private:
    Options m_options;
};
