#include "platform/HttpGet.h"

#include "LoopbackHttpServer.h"
#include "ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Mode = LoopbackHttpServer::Mode;

HttpGetRequest UpdateRequest(int port) {
    HttpGetRequest request;
    request.host = "127.0.0.1";
    request.port = port;
    request.path = "music/version/?file=ksphaser";
    request.userAgent = "Kestrunelle Phaser";
    request.accept = "*/*";
    return request;
}

struct Result {
    bool answered;
    std::string reply;
};

Result Get(const HttpGetRequest& request) {
    std::unique_ptr<IHttpGet> client = CreatePlatformHttpGet();
    IByteBuffer reply;
    Result result{client != nullptr && client->Get(request, reply), std::string()};
    if (reply.Size() > 0) {
        result.reply.assign(reinterpret_cast<const char*>(reply.Data()), static_cast<size_t>(reply.Size()));
    }
    return result;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

TEST(HttpGet, SendsTheUpdateRequestDirectlyAndTakesTheBodyWhateverTheStatus) {
    // A proxy named by the environment is not used.
    const std::string deadProxy = "http://127.0.0.1:" + std::to_string(LoopbackHttpServer::UnusedPort());
    ScopedEnvironment proxy("http_proxy", deadProxy.c_str());
    const struct {
        const char* status;
        const char* body;
    } cases[] = {
        {"200 OK", "2002"},
        {"200 OK", "2003\n"},
        {"404 Not Found", "<html><body>Not here</body></html>\n"},
    };
    for (const auto& c : cases) {
        LoopbackHttpServer server(Mode::Answer, c.status, c.body);
        const Result result = Get(UpdateRequest(server.Port()));
        EXPECT_TRUE(result.answered) << c.body;
        EXPECT_EQ(result.reply, c.body);
        const std::vector<std::string> requests = server.Requests();
        ASSERT_EQ(requests.size(), 1u) << c.body;
        EXPECT_EQ(requests[0].rfind("GET /music/version/?file=ksphaser HTTP/1.", 0), 0u) << requests[0];
        EXPECT_EQ(Count(requests[0], "\r\nUser-Agent: Kestrunelle Phaser\r\n"), 1u) << requests[0];
        EXPECT_EQ(Count(requests[0], "\r\nAccept:"), 1u) << requests[0];
        EXPECT_EQ(Count(requests[0], "\r\nAccept: */*\r\n"), 1u) << requests[0];
    }
}

TEST(HttpGet, FollowsARedirectToAnotherHttpServer) {
    LoopbackHttpServer target(Mode::Answer, "200 OK", "2003");
    const std::string moved = "302 Found\r\nLocation: http://127.0.0.1:" + std::to_string(target.Port()) +
                              "/music/version/?file=ksphaser";
    LoopbackHttpServer redirect(Mode::Answer, moved, "moved");
    const Result result = Get(UpdateRequest(redirect.Port()));
    EXPECT_TRUE(result.answered);
    EXPECT_EQ(result.reply, "2003");
    ASSERT_EQ(target.Requests().size(), 1u);
    EXPECT_EQ(target.Requests()[0].rfind("GET /music/version/?file=ksphaser HTTP/1.", 0), 0u);
}

#ifndef _WIN32
TEST(HttpGet, RedirectsEndAfterAFewHopsAndNeverLeavePlainHttp) {
    LoopbackHttpServer loop(Mode::Answer, "302 Found\r\nLocation: /music/version/?file=ksphaser", "moved");
    Result result = Get(UpdateRequest(loop.Port()));
    EXPECT_EQ(result.reply, "");
    EXPECT_EQ(loop.Requests().size(), 6u);

    LoopbackHttpServer secure(Mode::Answer, "302 Found\r\nLocation: https://127.0.0.1/", "moved");
    result = Get(UpdateRequest(secure.Port()));
    EXPECT_EQ(result.reply, "");
    EXPECT_EQ(secure.Requests().size(), 1u);
}
#endif

TEST(HttpGet, AnEmptyBodyAppendsNothing) {
    LoopbackHttpServer server(Mode::Answer, "200 OK", "");
    EXPECT_EQ(Get(UpdateRequest(server.Port())).reply, "");
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST(HttpGet, ReadingStopsAtTheCapAndWhatArrivedIsTheReply) {
    LoopbackHttpServer server(Mode::Huge);
    for (int cap : {4096, 1500}) {
        HttpGetRequest request = UpdateRequest(server.Port());
        request.maxBytes = cap;
        const Result result = Get(request);
        EXPECT_TRUE(result.answered) << cap;
        ASSERT_EQ(result.reply.size(), static_cast<size_t>(cap));
        for (int i = 0; i < cap; ++i) {
            ASSERT_EQ(result.reply[static_cast<size_t>(i)], LoopbackHttpServer::HugeByte(i)) << i;
        }
    }
}

// Short time-outs keep the stalling cases quick.
Result GetSoon(const LoopbackHttpServer& server) {
    HttpGetRequest request = UpdateRequest(server.Port());
    request.connectTimeoutMs = 1000;
    request.totalTimeoutMs = 2000;
    return Get(request);
}

TEST(HttpGet, NoServerOrAStallingServerEndsTheExchange) {
    EXPECT_FALSE(Get(UpdateRequest(LoopbackHttpServer::UnusedPort())).answered);

    LoopbackHttpServer silent(Mode::Silent);
    const Result unanswered = GetSoon(silent);
    EXPECT_FALSE(unanswered.answered);
    EXPECT_EQ(unanswered.reply, "");
    EXPECT_EQ(silent.Requests().size(), 1u);

    LoopbackHttpServer trickle(Mode::Trickle);
    const Result cut = GetSoon(trickle);
    EXPECT_TRUE(cut.answered);
    EXPECT_GT(cut.reply.size(), 0u);
    EXPECT_LT(cut.reply.size(), 4096u);

    // The client gave up by itself: neither server had given up on it.
    EXPECT_FALSE(silent.Expired());
    EXPECT_FALSE(trickle.Expired());
}

} // namespace
