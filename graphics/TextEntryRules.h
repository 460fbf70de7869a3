#pragma once

class IParameter;

// The states of an open text entry: what the window's next frame tick does with it.
constexpr int kTextEntryOpen = 0;    // nothing pending
constexpr int kTextEntryFocused = 1; // holds the keyboard focus; the frame timer pauses
constexpr int kTextEntryPainted = 2; // the editor just repainted around it; the next tick reopens it
constexpr int kTextEntryCancel = 3;  // removed at the next tick
constexpr int kTextEntryCommit = 4;  // committed and removed at the next tick

// [any] No lock. Whether the text entry of parameter (none: a plain text) takes the typed
// character: signs and digits for booleans, integers and enumerations, a dot as well for
// continuous parameters, anything for the others. Backspace always passes.
bool EntryAcceptsCharacter(const IParameter* parameter, unsigned char c);

// [any] No lock. The normalised value a committed text gives parameter: for booleans and
// enumerations the value whose display text equals text exactly (0 when none does), otherwise
// the text's leading number (0 without one), negated for parameters shown negated; then clamped
// and shaped.
double EntryCommitValue(const IParameter& parameter, const char* text);
