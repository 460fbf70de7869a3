#pragma once

#include "core/IByteBuffer.h"

#include <memory>

// One plain HTTP GET, as the update check asks it of each platform.
struct HttpGetRequest {
    const char* host = nullptr;      // name or address, no port
    int port = 80;                   // TCP port of the server
    const char* path = nullptr;      // object and query without the leading slash
    const char* userAgent = nullptr; // sent as the User-Agent header
    const char* accept = nullptr;    // the one accepted type
    int maxBytes = 4096;             // reading stops after this many bytes; what arrived is the reply
    int connectTimeoutMs = 10000;    // connecting gives up after this long
    int totalTimeoutMs = 20000;      // the whole exchange gives up after this long
};

// The platform's HTTP client: WinINet on Windows, libcurl on Linux; tests substitute a fake.
class IHttpGet {
public:
    IHttpGet() = default;
    virtual ~IHttpGet() = default;
    IHttpGet(const IHttpGet&) = delete;
    IHttpGet& operator=(const IHttpGet&) = delete;

    // [ui] Sends the request and waits for the answer; appends at most request.maxBytes bytes of
    // the response body to reply, whatever the status code. False when the request could not be
    // sent (no connection, unknown host, time-out before any byte); what arrived before a later
    // failure stays in reply. Takes no lock; every handle it opens is closed before it returns.
    virtual bool Get(const HttpGetRequest& request, IByteBuffer& reply) = 0;
};

// [ui] A new client of the platform; the caller owns it.
std::unique_ptr<IHttpGet> CreatePlatformHttpGet();

// The maker's web server: the build setting KSP_UPDATE_SERVER, replaced at run time by the
// environment variable KSPHASER_UPDATE_SERVER when that is set and well-formed ("host" or
// "host:port", port 1..65535).
struct UpdateServer {
    char host[256] = {};
    int port = 80;
    // "host" alone for port 80, else "host:port": the form that goes into addresses.
    char authority[264] = {};
};

// [any] Reads the server setting into out. No lock; reads the environment.
void ReadUpdateServer(UpdateServer& out);
