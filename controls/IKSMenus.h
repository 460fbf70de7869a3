#pragma once

#include "graphics/IControl.h"

// The online menu's entry for the update check, also the title of the check's message boxes.
constexpr const char* kUpdateCheckTitle = "Check Online for Update";

// What the preset menu asks of the plug-in beyond its programs: loading the one chosen.
class IKSPresetChoice {
public:
    // [ui] Takes the plug-in lock. Keeps the edits in the current program, loads program index
    // and tells the host.
    virtual void SelectPresetFromEditor(int index) = 0;

protected:
    ~IKSPresetChoice() = default;
};

// The online menu's texts.
struct IKSSiteTexts {
    char visitText[280]; // "Visit " and the server's host
    char homePage[288];  // "http://", the server's authority, "/"
};

// What the online menu asks of the plug-in: the maker's site and the update check.
class IKSOnlineActions {
public:
    // [ui] No lock; reads the environment.
    virtual void ReadSiteTexts(IKSSiteTexts& out) const = 0;
    // [ui] Takes no lock. Asks the maker's server for the newest version and tells the user in
    // message boxes; waits for the server and the user. Answers 0 after an exchange, a negative
    // value otherwise.
    virtual int CheckForUpdate() = 0;

protected:
    ~IKSOnlineActions() = default;
};

// An invisible click area over the title bar's triangle: any button opens a menu of the
// programs, the current one checked, and loads the one chosen.
class IKSPresetMenu : public IControl {
public:
    // [ui] Neither the plug-in nor choice is owned.
    IKSPresetMenu(IPluginBase* plugin, IKSPresetChoice* choice, const IRectangle& rect);

    // [ui] Modal while the menu is open; reading the programs and loading one take the plug-in
    // lock.
    void MouseDown(int x, int y, const IMouseState& mouse) override;
    bool Draw(IGraphics& /*editor*/) override { return true; }

private:
    IKSPresetChoice* choice;
};

// An invisible click area over the version text: any button opens the online menu, with the
// update check and a link to the maker's home page.
class IKSOnlineMenu : public IControl {
public:
    // [ui] Neither the plug-in nor actions is owned.
    IKSOnlineMenu(IPluginBase* plugin, IKSOnlineActions* actions, const IRectangle& rect);

    // [ui] Modal; the update check waits for the server and its message boxes. No lock.
    void MouseDown(int x, int y, const IMouseState& mouse) override;
    bool Draw(IGraphics& /*editor*/) override { return true; }

private:
    IKSOnlineActions* actions;
};
