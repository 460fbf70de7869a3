#include "LoopbackHttpServer.h"

#include <algorithm>
#include <cerrno>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
using Socket = SOCKET;
const Socket kNoSocket = INVALID_SOCKET;
constexpr int kSendFlags = 0;

void CloseSocket(Socket s) {
    closesocket(s);
}

void SetNonBlocking(Socket s) {
    u_long on = 1;
    ioctlsocket(s, FIONBIO, &on);
}

bool WouldBlock() {
    return WSAGetLastError() == WSAEWOULDBLOCK;
}
#else
using Socket = int;
constexpr Socket kNoSocket = -1;
constexpr int kSendFlags = MSG_NOSIGNAL; // a client that hung up must not end the test

void CloseSocket(Socket s) {
    close(s);
}

void SetNonBlocking(Socket s) {
    fcntl(s, F_SETFL, fcntl(s, F_GETFL) | O_NONBLOCK);
}

bool WouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK;
}
#endif

Socket ToSocket(std::intptr_t s) {
    return static_cast<Socket>(s);
}

// A socket bound to an ephemeral loopback port; its port goes to port.
Socket BindLoopback(int& port) {
    Socket s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (s == kNoSocket || bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (s != kNoSocket) {
            CloseSocket(s);
        }
        return kNoSocket;
    }
    port = ntohs(address.sin_port);
    return s;
}

std::string Head(const std::string& status, size_t contentLength) {
    return "HTTP/1.1 " + status +
           "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(contentLength) +
           "\r\nConnection: close\r\n\r\n";
}

struct SocketLibrary {
    SocketLibrary() {
#ifdef _WIN32
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
#endif
    }
    ~SocketLibrary() {
#ifdef _WIN32
        WSACleanup();
#endif
    }
};

// Waits up to 50 ms for the socket to be ready; false when it is not.
bool Wait(std::intptr_t socket, bool forWrite) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(ToSocket(socket), &set);
    timeval wait{0, 50000};
    const int nfds = static_cast<int>(ToSocket(socket) + 1);
    return select(nfds, forWrite ? nullptr : &set, forWrite ? &set : nullptr, nullptr, &wait) > 0;
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer(Mode mode, std::string status, std::string body)
    : mode(mode), status(std::move(status)), body(std::move(body)),
      deadline(std::chrono::steady_clock::now() + std::chrono::seconds(60)) {
    static SocketLibrary library;
    Socket listener = BindLoopback(port);
    if (listener == kNoSocket || listen(listener, 4) != 0) {
        port = 0;
        return;
    }
    SetNonBlocking(listener);
    thread = std::thread(&LoopbackHttpServer::Run, this, static_cast<std::intptr_t>(listener));
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stop = true;
    if (thread.joinable()) {
        thread.join();
    }
}

std::vector<std::string> LoopbackHttpServer::Requests() const {
    std::lock_guard<std::mutex> lock(mutex);
    return requests;
}

int LoopbackHttpServer::UnusedPort() {
    static SocketLibrary library;
    int port = 0;
    Socket s = BindLoopback(port);
    if (s != kNoSocket) {
        CloseSocket(s);
    }
    return port;
}

bool LoopbackHttpServer::Running() {
    if (!stop && std::chrono::steady_clock::now() >= deadline) {
        expired = true;
    }
    return !stop && !expired;
}

void LoopbackHttpServer::Run(std::intptr_t listener) {
    while (Running()) {
        if (!Wait(listener, false)) {
            continue;
        }
        Socket client = accept(ToSocket(listener), nullptr, nullptr);
        if (client != kNoSocket) {
            SetNonBlocking(client);
            Serve(static_cast<std::intptr_t>(client));
            CloseSocket(client);
        }
    }
    CloseSocket(ToSocket(listener));
}

void LoopbackHttpServer::Serve(std::intptr_t client) {
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 16384 && Running()) {
        if (!Wait(client, false)) {
            continue;
        }
        const int n = static_cast<int>(recv(ToSocket(client), buffer, sizeof buffer, 0));
        if (n <= 0) {
            return;
        }
        head.append(buffer, static_cast<size_t>(n));
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        requests.push_back(head);
    }
    std::string answer;
    switch (mode) {
    case Mode::Answer:
        answer = Head(status, body.size()) + body;
        SendAll(client, answer.data(), static_cast<int>(answer.size()));
        break;
    case Mode::Huge: {
        answer = Head(status, kHugeSize);
        std::string piece(size_t{26} * 2048, ' ');
        for (size_t i = 0; i < piece.size(); ++i) {
            piece[i] = HugeByte(static_cast<int>(i));
        }
        bool open = SendAll(client, answer.data(), static_cast<int>(answer.size()));
        for (int sent = 0; open && sent < kHugeSize; sent += static_cast<int>(piece.size())) {
            open = SendAll(client, piece.data(),
                           static_cast<int>(std::min(piece.size(), size_t(kHugeSize - sent))));
        }
        break;
    }
    case Mode::Trickle: {
        answer = Head(status, 4096);
        bool open = SendAll(client, answer.data(), static_cast<int>(answer.size()));
        for (int sent = 0; open && sent < 4096; ++sent) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            open = Running() && SendAll(client, "x", 1);
        }
        break;
    }
    case Mode::Silent:
        while (Running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        break;
    }
}

bool LoopbackHttpServer::SendAll(std::intptr_t client, const char* data, int n) {
    while (n > 0 && Running()) {
        if (!Wait(client, true)) {
            continue;
        }
        const int sent = static_cast<int>(send(ToSocket(client), data, n, kSendFlags));
        if (sent < 0 && !WouldBlock()) {
            return false;
        }
        if (sent > 0) {
            data += sent;
            n -= sent;
        }
    }
    return n == 0;
}
