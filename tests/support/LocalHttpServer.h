#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// An HTTP server on 127.0.0.1 for tests: a thread accepts connections on an
// ephemeral port, records each raw request (header and declared body) and
// answers as scripted: a status with a body, raw bytes, never, or by closing at
// once. The script may change between requests; every method is thread-safe.
class LocalHttpServer {
public:
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    std::uint16_t Port() const { return m_port; }
    // "http://127.0.0.1:PORT" + `path`.
    std::string Url(const std::string& path = "/") const;

    // Answers "HTTP/1.1 STATUS REASON" with Content-Length, Connection: close and `body`.
    void AnswerWith(int status, const std::string& body);
    // Answers exactly these bytes, then closes.
    void AnswerRaw(const std::string& bytes);
    // Reads the request and keeps the connection open without a word until the server ends.
    void NeverAnswer();
    // Closes each connection as soon as it is accepted, before reading anything.
    void CloseAtOnce();

    // The raw requests received so far, oldest first.
    std::vector<std::string> Requests() const;
    // Waits (at most `ms`) until `count` requests have come; false when they did not.
    bool WaitForRequests(std::size_t count, unsigned ms) const;

    // A port on 127.0.0.1 on which nobody listens (connecting is refused).
    static std::uint16_t ClosedPort();

private:
    enum class Mode { Answer, Silent, Close };
    void Serve(std::stop_token stop);
    void Handle(int peer);

    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    std::uint16_t m_port = 0;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_arrived;
    Mode m_mode = Mode::Answer;
    std::string m_answer;
    std::vector<std::string> m_requests;
    std::vector<int> m_silent;
    std::jthread m_thread;
};
