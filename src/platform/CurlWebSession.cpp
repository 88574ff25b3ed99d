#include "platform/CurlWebSession.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace {

struct BodySink {
    std::string* body;
    std::size_t limit;
};

std::size_t AppendBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<BodySink*>(user);
    const std::size_t bytes = size * count;
    if (sink->body->size() < sink->limit)
        sink->body->append(data, std::min(bytes, sink->limit - sink->body->size()));
    return bytes;  // the rest is read and dropped so the exchange ends normally
}

struct EasyDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

int AbortOnStop(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::stop_token*>(user)->stop_requested() ? 1 : 0;
}

void InitialiseOnce() {
    // curl_global_init is not thread-safe; curl_easy_init would call it unguarded.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

CurlWebSession::CurlWebSession() : CurlWebSession(Options{}) {}

CurlWebSession::CurlWebSession(Options options) : m_options(std::move(options)) {
    InitialiseOnce();
}

WebSession::Reply CurlWebSession::Fetch(std::string_view verb, const std::string& url) {
    Reply reply;
    std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
    if (!curl) return reply;

    BodySink sink{&reply.body, m_options.maxBodyBytes};
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const std::string method(verb);
    // No Content-Type for a request without a body.
    std::unique_ptr<curl_slist, ListDeleter> headers(curl_slist_append(nullptr, "Content-Type:"));
    CURL* c = curl.get();
    bool ok = headers != nullptr;
    ok = ok && curl_easy_setopt(c, CURLOPT_URL, url.c_str()) == CURLE_OK;
    ok = ok && curl_easy_setopt(c, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0) == CURLE_OK;
    if (method == "POST") {
        ok = ok && curl_easy_setopt(c, CURLOPT_POST, 1L) == CURLE_OK;
        ok = ok && curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE, 0L) == CURLE_OK;
        ok = ok && curl_easy_setopt(c, CURLOPT_POSTFIELDS, "") == CURLE_OK;
    } else if (method == "HEAD") {
        ok = ok && curl_easy_setopt(c, CURLOPT_NOBODY, 1L) == CURLE_OK;
    } else if (method != "GET") {
        ok = ok && curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, method.c_str()) == CURLE_OK;
    }
    ok = ok && curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get()) == CURLE_OK;
    ok = ok && curl_easy_setopt(c, CURLOPT_USERAGENT, m_options.userAgent.c_str()) == CURLE_OK;
    ok = ok &&
         curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, m_options.connectTimeoutMs) == CURLE_OK;
    ok = ok && curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, m_options.totalTimeoutMs) == CURLE_OK;
    // Signals would be unsafe on the threads that may call this.
    ok = ok && curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
    // An answer without a status line is then "no status", not a protocol failure.
    ok = ok && curl_easy_setopt(c, CURLOPT_HTTP09_ALLOWED, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &AppendBody) == CURLE_OK;
    ok = ok && curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink) == CURLE_OK;
    ok = ok && curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer) == CURLE_OK;
    if (m_options.stop.stop_possible()) {
        ok = ok && curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L) == CURLE_OK;
        ok = ok && curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &AbortOnStop) == CURLE_OK;
        ok = ok && curl_easy_setopt(c, CURLOPT_XFERINFODATA, &m_options.stop) == CURLE_OK;
    }
    if (!ok || m_options.stop.stop_requested()) return reply;

    const CURLcode result = curl_easy_perform(c);
    if (result == CURLE_UNSUPPORTED_PROTOCOL) {
        // Code 1 would read as success to the caller; with an http URL it means the
        // request could not be made at all.
        reply.body.clear();
        return reply;
    }
    if (result != CURLE_OK) {
        reply.outcome = Reply::Outcome::Failed;
        reply.error = static_cast<int>(result);
        reply.errorText = errorBuffer[0] != '\0' ? errorBuffer : curl_easy_strerror(result);
        reply.body.clear();
        return reply;
    }
    long status = 0;
    if (curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK || status <= 0) {
        reply.outcome = Reply::Outcome::NoStatus;
        reply.body.clear();
        return reply;
    }
    reply.outcome = Reply::Outcome::Answered;
    reply.status = status;
    return reply;
}
