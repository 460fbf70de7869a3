#include "platform/HttpGet.h"

#include "ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <string>

namespace {

UpdateServer Read() {
    UpdateServer server;
    ReadUpdateServer(server);
    return server;
}

TEST(ReadUpdateServer, TheBuildSettingUnlessTheEnvironmentNamesAWellFormedServer) {
    const UpdateServer built = [] {
        ScopedEnvironment unset("KSPHASER_UPDATE_SERVER", nullptr);
        return Read();
    }();
    EXPECT_STREQ(built.authority, KSP_UPDATE_SERVER);

    const struct {
        const char* value;
        const char* host;
        int port;
        const char* authority;
    } wellFormed[] = {
        {"updates.example.org", "updates.example.org", 80, "updates.example.org"},
        {"127.0.0.1:8080", "127.0.0.1", 8080, "127.0.0.1:8080"},
        {"my_host-2:65535", "my_host-2", 65535, "my_host-2:65535"},
        {"example.org:80", "example.org", 80, "example.org"},
        {"example.org:00081", "example.org", 81, "example.org:81"},
    };
    for (const auto& c : wellFormed) {
        ScopedEnvironment env("KSPHASER_UPDATE_SERVER", c.value);
        const UpdateServer server = Read();
        EXPECT_STREQ(server.host, c.host) << c.value;
        EXPECT_EQ(server.port, c.port) << c.value;
        EXPECT_STREQ(server.authority, c.authority) << c.value;
    }

    const std::string longest(255, 'h');
    {
        ScopedEnvironment env("KSPHASER_UPDATE_SERVER", (longest + ":1").c_str());
        EXPECT_EQ(Read().host, longest);
        EXPECT_EQ(Read().authority, longest + ":1");
    }

    const std::string tooLong(256, 'h');
    const char* malformed[] = {
        ":80",       "host:",    "host:0",        "host:65536", "host:123456",
        "host:+80",  "host:8a",  "host:80:81",    "a b",        "evil.example/path",
        "user@host", "[::1]:80", "-host",         ".host",      "host?x",
        "host#x",    "host\n",   tooLong.c_str(),
#ifndef _WIN32
        "", // Windows' runtime cannot hold an empty value
#endif
    };
    for (const char* value : malformed) {
        ScopedEnvironment env("KSPHASER_UPDATE_SERVER", value);
        const UpdateServer server = Read();
        EXPECT_STREQ(server.host, built.host) << value;
        EXPECT_EQ(server.port, built.port) << value;
        EXPECT_STREQ(server.authority, built.authority) << value;
    }
}

} // namespace
