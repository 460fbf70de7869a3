#include "effect/UpdateCheck.h"

#include "core/IByteBuffer.h"
#include "graphics/IGraphics.h"
#include "platform/HttpGet.h"

#include <cstring>
#include <initializer_list>

namespace {

constexpr const char* kProductTitle = "Kestrunelle Phaser";
constexpr const char* kOwnVersionText = "2.0.2";
constexpr int32_t kOwnVersionNumber = 2002;
constexpr const char* kVersionPath = "music/version/?file=ksphaser";
constexpr const char* kDownloadPath = "/music/vst.html";
// A version number is short: nothing beyond this is read.
constexpr int kReplyLimit = 4096;
constexpr int kConnectTimeoutMs = 10000;
constexpr int kTotalTimeoutMs = 20000;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Appends the pieces (length bytes each; negative: up to the terminator) and a terminator;
// false when the text could not grow.
struct Piece {
    const char* text;
    int length;
};

bool BuildText(IByteBuffer& out, std::initializer_list<Piece> pieces) {
    for (const Piece& piece : pieces) {
        const int32_t length =
            piece.length >= 0 ? piece.length : static_cast<int32_t>(std::strlen(piece.text));
        const int32_t before = out.Size();
        if (length > 0 && out.PutBytes(piece.text, length) != before + length) {
            return false;
        }
    }
    const int32_t before = out.Size();
    return out.PutByte(0) == before + 1;
}

} // namespace

int32_t LeadingVersionNumber(const char* text, int length) {
    int i = 0;
    while (i < length && IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t n = 0;
    const int64_t limit = negative ? -int64_t{INT32_MIN} : int64_t{INT32_MAX};
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
        n = n * 10 + (text[i] - '0');
        if (n > limit) {
            n = limit;
        }
    }
    return static_cast<int32_t>(negative ? -n : n);
}

int RunUpdateCheck(IHttpGet* client, const UpdateServer& server, IGraphics& editor) {
    IByteBuffer error(256);
    if (!BuildText(error, {{"An error occurred while contacting ", -1}, {server.host, -1}, {".", -1}})) {
        editor.ShowMessageBox("", kUpdateCheckTitle, kMessageBoxIconError);
        return kUpdateCheckNoMemory;
    }

    HttpGetRequest request;
    request.host = server.host;
    request.port = server.port;
    request.path = kVersionPath;
    request.userAgent = kProductTitle;
    request.accept = "*/*";
    request.maxBytes = kReplyLimit;
    request.connectTimeoutMs = kConnectTimeoutMs;
    request.totalTimeoutMs = kTotalTimeoutMs;
    IByteBuffer reply(kReplyLimit);
    if (client != nullptr) {
        client->Get(request, reply);
    }
    const int length = reply.Size() < kReplyLimit ? reply.Size() : kReplyLimit;
    const char* text = reinterpret_cast<const char*>(reply.Data());

    if (length == 0) {
        editor.ShowMessageBox(error.Text(), kUpdateCheckTitle, kMessageBoxIconError);
        return kUpdateCheckNoReply;
    }
    // An HTML page instead of a number; every byte counts, a zero byte included.
    if (std::memchr(text, '<', static_cast<size_t>(length)) != nullptr) {
        IByteBuffer invalid(256);
        if (!BuildText(invalid, {{"Invalid call to ", -1}, {server.host, -1}, {".", -1}})) {
            editor.ShowMessageBox(error.Text(), kUpdateCheckTitle, kMessageBoxIconError);
            return kUpdateCheckNoMemory;
        }
        editor.ShowMessageBox(invalid.Text(), kUpdateCheckTitle, kMessageBoxIconError);
        return kUpdateCheckInvalidReply;
    }
    if (LeadingVersionNumber(text, length) <= kOwnVersionNumber) {
        editor.ShowMessageBox("Your version is up to date.", kUpdateCheckTitle, kMessageBoxIconInformation);
        return kUpdateCheckDone;
    }

    // A number above 2002 has at least four digits: major, minor, then the bug-fix number
    // without its leading zero. The rest of the reply is taken as it is, up to a zero byte.
    const int restStart = text[2] == '0' ? 3 : 2;
    const char* rest = text + restStart;
    const auto* zero =
        static_cast<const char*>(std::memchr(rest, 0, static_cast<size_t>(length - restStart)));
    const int restLength = zero != nullptr ? static_cast<int>(zero - rest) : length - restStart;
    IByteBuffer message(1024);
    IByteBuffer caption(128);
    IByteBuffer download(512);
    if (!BuildText(message, {{"A new version of ", -1},
                             {kProductTitle, -1},
                             {" is available.\n\n\tYour version: \t", -1},
                             {kOwnVersionText, -1},
                             {"\n\tNew version: \t", -1},
                             {text, 1},
                             {".", 1},
                             {text + 1, 1},
                             {".", 1},
                             {rest, restLength},
                             {"\n\nDo you want to go to ", -1},
                             {server.authority, -1},
                             {" to get the new version?", -1}}) ||
        !BuildText(caption, {{"New Version of ", -1}, {kProductTitle, -1}, {" Detected", -1}}) ||
        !BuildText(download, {{"http://", -1}, {server.authority, -1}, {kDownloadPath, -1}})) {
        editor.ShowMessageBox(error.Text(), kUpdateCheckTitle, kMessageBoxIconError);
        return kUpdateCheckNoMemory;
    }
    if (editor.ShowMessageBox(message.Text(), caption.Text(), kMessageBoxYesNo) != kMessageBoxAnswerNo) {
        editor.OpenUrl(download.Text(), nullptr, nullptr, nullptr);
    }
    return kUpdateCheckDone;
}
