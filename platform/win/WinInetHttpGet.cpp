#include "platform/HttpGet.h"

#include <windows.h>

#include <wininet.h>

#include <new>

namespace {

constexpr DWORD kReadChunk = 1024;

// Every wait of the exchange is bounded: WinINet has no limit for the whole of it, so connecting
// gets its own time-out and sending and each receive the rest of the total. Set on the connection,
// whose requests inherit them; Wine ignores them on the handle of InternetOpen.
void SetTimeouts(HINTERNET connection, const HttpGetRequest& request) {
    DWORD connectMs = static_cast<DWORD>(request.connectTimeoutMs);
    DWORD waitMs = static_cast<DWORD>(request.totalTimeoutMs > request.connectTimeoutMs
                                          ? request.totalTimeoutMs - request.connectTimeoutMs
                                          : request.totalTimeoutMs);
    InternetSetOptionA(connection, INTERNET_OPTION_CONNECT_TIMEOUT, &connectMs, sizeof connectMs);
    InternetSetOptionA(connection, INTERNET_OPTION_SEND_TIMEOUT, &waitMs, sizeof waitMs);
    InternetSetOptionA(connection, INTERNET_OPTION_RECEIVE_TIMEOUT, &waitMs, sizeof waitMs);
}

// Reads in pieces of at most 1024 bytes while the last read succeeded and gave bytes, up to
// maxBytes and until the total time-out has passed. A read waits until its buffer is full, so
// each asks only for what has arrived: a server that trickles bytes cannot hold it past the time-out.
void ReadBody(HINTERNET request, const HttpGetRequest& settings, ULONGLONG startMs, IByteBuffer& reply) {
    char chunk[kReadChunk];
    int left = settings.maxBytes;
    DWORD bytesRead = 0;
    do {
        DWORD want = left < static_cast<int>(kReadChunk) ? static_cast<DWORD>(left) : kReadChunk;
        DWORD available = 0;
        if (InternetQueryDataAvailable(request, &available, 0, 0) && available > 0 && available < want) {
            want = available;
        }
        if (!InternetReadFile(request, chunk, want, &bytesRead)) {
            return;
        }
        const int n = static_cast<int>(bytesRead);
        const int before = reply.Size();
        if (n > 0 && reply.PutBytes(chunk, n) == before) {
            return;
        }
        left -= n;
    } while (bytesRead > 0 && left > 0 &&
             GetTickCount64() - startMs < static_cast<ULONGLONG>(settings.totalTimeoutMs));
}

class WinInetHttpGet final : public IHttpGet {
public:
    bool Get(const HttpGetRequest& request, IByteBuffer& reply) override;
};

bool WinInetHttpGet::Get(const HttpGetRequest& request, IByteBuffer& reply) {
    if (request.host == nullptr || request.path == nullptr || request.port < 1 || request.port > 65535) {
        return false;
    }
    const ULONGLONG startMs = GetTickCount64();
    HINTERNET internet = InternetOpenA(request.userAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET connection = nullptr;
    HINTERNET httpRequest = nullptr;
    bool sent = false;
    if (internet != nullptr) {
        connection = InternetConnectA(internet, request.host, static_cast<INTERNET_PORT>(request.port),
                                      nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    }
    if (connection != nullptr) {
        SetTimeouts(connection, request);
        const char* acceptTypes[] = {request.accept, nullptr};
        httpRequest = HttpOpenRequestA(connection, "GET", request.path, nullptr, nullptr,
                                       request.accept != nullptr ? acceptTypes : nullptr, 0, 0);
    }
    if (httpRequest != nullptr) {
        sent = HttpSendRequestA(httpRequest, nullptr, 0, nullptr, 0) != FALSE;
    }
    if (sent && request.maxBytes > 0) {
        ReadBody(httpRequest, request, startMs, reply);
    }
    InternetCloseHandle(httpRequest);
    InternetCloseHandle(connection);
    InternetCloseHandle(internet);
    return sent;
}

} // namespace

std::unique_ptr<IHttpGet> CreatePlatformHttpGet() {
    return std::unique_ptr<IHttpGet>(new (std::nothrow) WinInetHttpGet);
}
