#include "platform/HttpGet.h"

#include <curl/curl.h>

#include <cstdio>
#include <new>

namespace {

constexpr long kMaxRedirects = 5;

struct Body {
    IByteBuffer* reply;
    int left;     // bytes still taken before the cap
    int received; // bytes appended so far
};

// Takes what fits under the cap; answering less than offered ends the transfer.
size_t TakeBody(char* data, size_t size, size_t count, void* user) {
    auto* body = static_cast<Body*>(user);
    const size_t offered = size * count;
    const size_t take = offered < static_cast<size_t>(body->left) ? offered : static_cast<size_t>(body->left);
    const int n = static_cast<int>(take);
    const int before = body->reply->Size();
    if (n > 0 && body->reply->PutBytes(data, n) == before) {
        return 0;
    }
    body->left -= n;
    body->received += n;
    return take;
}

class CurlHttpGet final : public IHttpGet {
public:
    bool Get(const HttpGetRequest& request, IByteBuffer& reply) override;

private:
    static bool Transfer(CURL* curl, const HttpGetRequest& request, Body& body);
};

bool CurlHttpGet::Get(const HttpGetRequest& request, IByteBuffer& reply) {
    if (request.host == nullptr || request.path == nullptr) {
        return false;
    }
    // Counted: a host that uses libcurl keeps its own initialisation, and nothing stays behind
    // once the count returns to zero. libcurl 7.84 and later guard the count with a lock.
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        return false;
    }
    Body body{&reply, request.maxBytes > 0 ? request.maxBytes : 0, 0};
    bool answered = false;
    if (CURL* curl = curl_easy_init()) {
        answered = Transfer(curl, request, body);
        curl_easy_cleanup(curl);
    }
    curl_global_cleanup();
    return answered;
}

bool CurlHttpGet::Transfer(CURL* curl, const HttpGetRequest& request, Body& body) {
    char url[2048];
    const int urlLength =
        std::snprintf(url, sizeof url, "http://%s:%d/%s", request.host, request.port, request.path);
    char accept[256];
    // Without a type, "Accept:" removes libcurl's own header.
    const int acceptLength =
        std::snprintf(accept, sizeof accept, "Accept:%s%s", request.accept != nullptr ? " " : "",
                      request.accept != nullptr ? request.accept : "");
    if (urlLength < 0 || urlLength >= static_cast<int>(sizeof url) || acceptLength < 0 ||
        acceptLength >= static_cast<int>(sizeof accept)) {
        return false;
    }
    curl_slist* headers = curl_slist_append(nullptr, accept);
    if (headers == nullptr) {
        return false;
    }
    curl_easy_setopt(curl, CURLOPT_URL, url);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    if (request.userAgent != nullptr) {
        curl_easy_setopt(curl, CURLOPT_USERAGENT, request.userAgent);
    }
    // Direct connection, whatever proxy the environment names.
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    // The host owns the process's signals; the threaded resolver needs no alarm.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.connectTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(request.totalTimeoutMs));
    // Redirects are followed as WinINet follows them on Windows: plain HTTP only, a few hops.
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http");
#else
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS, static_cast<long>(CURLPROTO_HTTP));
#endif
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, TakeBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    const CURLcode result = curl_easy_perform(curl);
    curl_slist_free_all(headers);
    // The cap ends the transfer with a write error; what arrived before any failure is the reply.
    return result == CURLE_OK || body.received > 0;
}

} // namespace

std::unique_ptr<IHttpGet> CreatePlatformHttpGet() {
    return std::unique_ptr<IHttpGet>(new (std::nothrow) CurlHttpGet);
}
