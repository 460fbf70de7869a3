// The update check's decisions and messages against a scripted HTTP client.
#include "effect/UpdateCheck.h"
#include "platform/HttpGet.h"
#include "platform/headless/IGraphicsHeadless.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

class FakeHttpGet : public IHttpGet {
public:
    bool Get(const HttpGetRequest& request, IByteBuffer& out) override {
        ++calls;
        last = request;
        path = request.path;
        const int n = static_cast<int>(reply.size()) < request.maxBytes ? static_cast<int>(reply.size())
                                                                        : request.maxBytes;
        out.PutBytes(reply.data(), n);
        return succeeds;
    }
    std::string reply;
    bool succeeds = true;
    int calls = 0;
    HttpGetRequest last;
    std::string path;
};

struct UpdateCheck : ::testing::Test {
    UpdateCheck() : editor(nullptr, 720, 174, 25) {
        std::snprintf(server.host, sizeof server.host, "%s", "kestrunelle.invalid");
        server.port = 8080;
        std::snprintf(server.authority, sizeof server.authority, "%s", "kestrunelle.invalid:8080");
    }
    int Check(const std::string& reply, bool succeeds = true) {
        client.reply = reply;
        client.succeeds = succeeds;
        editor.messageBoxes.clear();
        editor.urls.clear();
        return RunUpdateCheck(&client, server, editor);
    }
    std::string OnlyMessage() const {
        return editor.messageBoxes.size() == 1 ? editor.messageBoxes[0].text
                                               : "(" + std::to_string(editor.messageBoxes.size()) + " boxes)";
    }

    FakeHttpGet client;
    UpdateServer server;
    IGraphicsHeadless editor;
};

TEST_F(UpdateCheck, AsksOnceWithBoundedReplyAndTimeOuts) {
    Check("2002");
    EXPECT_EQ(client.calls, 1);
    EXPECT_STREQ(client.last.host, "kestrunelle.invalid");
    EXPECT_EQ(client.last.port, 8080);
    EXPECT_EQ(client.path, "music/version/?file=ksphaser");
    EXPECT_STREQ(client.last.userAgent, "Kestrunelle Phaser");
    EXPECT_STREQ(client.last.accept, "*/*");
    EXPECT_EQ(client.last.maxBytes, 4096);
    EXPECT_EQ(client.last.connectTimeoutMs, 10000);
    EXPECT_EQ(client.last.totalTimeoutMs, 20000);
}

TEST_F(UpdateCheck, NoReplyOrFailureShowsTheErrorOnce) {
    const std::string error = "An error occurred while contacting kestrunelle.invalid.";
    EXPECT_EQ(Check("", false), -1);
    EXPECT_EQ(OnlyMessage(), error);
    EXPECT_EQ(editor.messageBoxes[0].caption, "Check Online for Update");
    EXPECT_EQ(editor.messageBoxes[0].type, 0x10);
    EXPECT_EQ(Check(""), -1); // an empty body is no reply either
    EXPECT_EQ(OnlyMessage(), error);
    // What arrived before a failure is the reply.
    EXPECT_EQ(Check("2002", false), 0);
    EXPECT_EQ(OnlyMessage(), "Your version is up to date.");
    EXPECT_EQ(RunUpdateCheck(nullptr, server, editor), -1);
    EXPECT_TRUE(editor.urls.empty());
}

TEST_F(UpdateCheck, AnHtmlPageIsAnInvalidCallWhereverItsBracketIs) {
    for (const std::string& reply :
         {std::string("<html>2003</html>"), std::string("2003 <b>"), std::string("2003\0<", 6)}) {
        EXPECT_EQ(Check(reply), -3);
        EXPECT_EQ(OnlyMessage(), "Invalid call to kestrunelle.invalid.");
        EXPECT_EQ(editor.messageBoxes[0].type, 0x10);
    }
    // Only the first 4 KiB count: a bracket beyond them is never read.
    EXPECT_EQ(Check("1999" + std::string(5000, ' ') + "<"), 0);
    EXPECT_EQ(OnlyMessage(), "Your version is up to date.");
}

TEST_F(UpdateCheck, NumbersUpToTheOwnVersionAreUpToDate) {
    for (const char* reply : {"2002", "0", "1999", "letters only", "-99999999999999999999", "  +2002\n"}) {
        EXPECT_EQ(Check(reply), 0) << reply;
        EXPECT_EQ(OnlyMessage(), "Your version is up to date.") << reply;
        EXPECT_EQ(editor.messageBoxes[0].type, 0x40);
        EXPECT_TRUE(editor.urls.empty());
    }
}

TEST_F(UpdateCheck, ANewerVersionIsOfferedAndOpenedOnRequest) {
    editor.script.messageBoxAnswers.push_back(kMessageBoxAnswerYes);
    EXPECT_EQ(Check("2003\n"), 0);
    ASSERT_EQ(editor.messageBoxes.size(), 1u);
    EXPECT_EQ(editor.messageBoxes[0].text,
              "A new version of Kestrunelle Phaser is available.\n\n"
              "\tYour version: \t2.0.2\n\tNew version: \t2.0.3\n\n"
              "\nDo you want to go to kestrunelle.invalid:8080 to get the new version?");
    EXPECT_EQ(editor.messageBoxes[0].caption, "New Version of Kestrunelle Phaser Detected");
    EXPECT_EQ(editor.messageBoxes[0].type, 4);
    ASSERT_EQ(editor.urls.size(), 1u);
    EXPECT_EQ(editor.urls[0].url, "http://kestrunelle.invalid:8080/music/vst.html");

    EXPECT_EQ(Check("2010"), 0); // the script is empty: the box answers No
    EXPECT_NE(OnlyMessage().find("\tNew version: \t2.0.10\n"), std::string::npos);
    EXPECT_TRUE(editor.urls.empty());

    const struct {
        const char* reply;
        const char* shown;
    } versions[] = {
        {"2100", "2.1.0"}, {"3115", "3.1.15"}, {"99999999999999999999", "9.9.999999999999999999"}};
    for (const auto& v : versions) {
        editor.script.messageBoxAnswers.push_back(kMessageBoxAnswerOk); // anything but No opens
        EXPECT_EQ(Check(v.reply), 0);
        EXPECT_NE(OnlyMessage().find(std::string("\tNew version: \t") + v.shown + "\n"), std::string::npos)
            << v.reply;
        EXPECT_EQ(editor.urls.size(), 1u);
    }
}

TEST(UpdateCheckNumber, LeadingIntegerSaturates) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {{"2003", 2003},
                 {" \t+2003x", 2003},
                 {"-17", -17},
                 {"", 0},
                 {"abc", 0},
                 {"- 5", 0},
                 {"2147483647", INT_MAX},
                 {"2147483648", INT_MAX},
                 {"-2147483648", INT_MIN},
                 {"-99999999999999", INT_MIN}};
    for (const auto& c : cases) {
        EXPECT_EQ(LeadingVersionNumber(c.text, static_cast<int>(std::strlen(c.text))), c.value) << c.text;
    }
    EXPECT_EQ(LeadingVersionNumber("20031", 4), 2003); // only the bytes given are read
}

} // namespace
