#pragma once

#include "controls/IKSMenus.h"

#include <cstdint>

class IGraphics;
class IHttpGet;
struct UpdateServer;

// What the check answers.
constexpr int kUpdateCheckDone = 0;
constexpr int kUpdateCheckNoReply = -1;
constexpr int kUpdateCheckNoMemory = -2;
constexpr int kUpdateCheckInvalidReply = -3;

// [ui] Asks the maker's server for the newest version with one GET through client (none
// counts as no reply), compares
// it with this version and tells the result in message boxes on editor; on request opens the
// download page. Waits for the server (at most the request's time-outs) and for the user.
// Takes no lock. Answers one of the kUpdateCheck values.
int RunUpdateCheck(IHttpGet* client, const UpdateServer& server, IGraphics& editor);

// [any] No lock. The leading decimal integer of the first length bytes of text: white space
// skipped, an optional sign, then digits; saturates at the int32 limits; 0 without digits.
int32_t LeadingVersionNumber(const char* text, int length);
