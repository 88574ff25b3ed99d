#pragma once

#include <string>
#include <string_view>

// One HTTP exchange through the system's internet access (its proxy settings
// apply). Fetch blocks the calling thread until the exchange ends or times out;
// one object may be used by one thread at a time.
class WebSession {
public:
    struct Reply {
        enum class Outcome {
            Answered,  // a status came back; `status` and `body` hold it
            NotSent,   // the connection or the request could not be made
            NoStatus,  // the server answered without a readable status
            Failed,    // the library failed: `error` and `errorText` say how
        };
        Outcome outcome = Outcome::NotSent;
        long status = 0;
        std::string body;
        int error = 0;
        std::string errorText;
    };

    virtual ~WebSession() = default;

    // Sends `verb` for `url` (an "http://" URL) with no body as HTTP/1.0.
    virtual Reply Fetch(std::string_view verb, const std::string& url) = 0;
};
