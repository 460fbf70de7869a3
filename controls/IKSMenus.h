#pragma once

#include "graphics/IControl.h"

class Effect;
class KSPhaser;

// An invisible click area over the title bar's triangle: any button opens a menu of the
// programs, the current one checked, and loads the one chosen.
class IKSPresetMenu : public IControl {
public:
    // [ui] The effect is not owned.
    IKSPresetMenu(Effect* effect, const IRectangle& rect);

    // [ui] Modal while the menu is open; loading a program takes the plug-in lock.
    void MouseDown(int x, int y, const IMouseState& mouse) override;
    bool Draw(IGraphics& /*editor*/) override { return true; }

private:
    Effect* effect;
};

// An invisible click area over the version text: any button opens the online menu, with the
// update check and a link to the maker's home page.
class IKSOnlineMenu : public IControl {
public:
    // [ui] The phaser is not owned.
    IKSOnlineMenu(KSPhaser* phaser, const IRectangle& rect);

    // [ui] Modal; the update check waits for the server and its message boxes. No lock.
    void MouseDown(int x, int y, const IMouseState& mouse) override;
    bool Draw(IGraphics& /*editor*/) override { return true; }

private:
    KSPhaser* phaser;
};
