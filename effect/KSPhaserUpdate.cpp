// The phaser's side of the online menu: the maker's site and the update check.
#include "effect/KSPhaser.h"

#include "effect/UpdateCheck.h"
#include "graphics/IGraphics.h"

#include <cstdio>

void KSPhaser::ReadSiteTexts(IKSSiteTexts& out) const {
    UpdateServer server;
    ReadUpdateServer(server);
    std::snprintf(out.visitText, sizeof out.visitText, "Visit %s", server.host);
    std::snprintf(out.homePage, sizeof out.homePage, "http://%s/", server.authority);
}

int KSPhaser::CheckForUpdate() {
    IGraphics* editor = Graphics();
    if (editor == nullptr) {
        return kUpdateCheckNoReply;
    }
    if (!httpClient) {
        httpClient = CreatePlatformHttpGet();
    }
    UpdateServer server;
    ReadUpdateServer(server);
    return RunUpdateCheck(httpClient.get(), server, *editor);
}
