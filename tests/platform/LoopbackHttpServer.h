#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// An HTTP server on 127.0.0.1 (an ephemeral port) for the client tests: a thread answers one
// connection after another as its mode says and keeps the head of every request it read. It stops
// when destroyed, and by itself after a minute.
class LoopbackHttpServer {
public:
    enum class Mode {
        Answer,  // the given status and body, then the connection is closed
        Huge,    // a 10 MiB body
        Silent,  // reads the request and never answers
        Trickle, // a 4 KiB body, one byte every 100 ms
    };

    explicit LoopbackHttpServer(Mode mode, std::string status = "200 OK", std::string body = "");
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    int Port() const { return port; }
    // The heads of the requests received so far, request line and headers.
    std::vector<std::string> Requests() const;
    // True once the server gave up waiting for its client and stopped by itself.
    bool Expired() const { return expired; }

    // A loopback port that nothing listens on.
    static int UnusedPort();

    static constexpr int kHugeSize = 10 * 1024 * 1024;
    // Byte i of the huge body.
    static char HugeByte(int i) { return static_cast<char>('a' + i % 26); }

private:
    void Run(std::intptr_t listener);
    void Serve(std::intptr_t client);
    bool SendAll(std::intptr_t client, const char* data, int n);
    bool Running();

    Mode mode;
    std::string status;
    std::string body;
    std::chrono::steady_clock::time_point deadline;
    int port = 0;
    std::atomic<bool> stop{false};
    std::atomic<bool> expired{false};
    mutable std::mutex mutex;
    std::vector<std::string> requests;
    std::thread thread;
};
