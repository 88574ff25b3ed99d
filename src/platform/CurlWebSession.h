#pragma once

#include <cstddef>
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
    };

    CurlWebSession();
    explicit CurlWebSession(Options options);

    Reply Fetch(std::string_view verb, const std::string& url) override;

private:
    Options m_options;
};
