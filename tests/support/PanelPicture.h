#pragma once

#include "raster/PIX_MemBitmap.h"

#include <cstdint>
#include <memory>

// The phaser's panel as a test expects to see it: composed from the four images and the
// layout, for the normalised values of its ten parameters, without the value texts.
std::unique_ptr<PIX_MemBitmap> ComposePanel(const double normalized[10]);

// Where a value text may be drawn: its box's left edge and width, and how far a text may reach
// beyond the box on either side (texts are centred on the box and may be wider than it).
struct PanelTextBox {
    int x;
    int width;
    int parameter;
};
constexpr int kPanelTextBoxCount = 8;
extern const PanelTextBox kPanelTextBoxes[kPanelTextBoxCount];
constexpr int kPanelTextTop = 148;
constexpr int kPanelTextBottom = 167;
constexpr int kPanelTextReach = 12;

// Whether (x, y) lies where some value text may be drawn.
bool InPanelTextBand(int x, int y);

// The pixels outside the text band where got differs from expected (both 720 x 174, the alpha
// byte ignored); the first one's position goes to firstX, firstY (-1 when there is none).
int CountPanelMismatches(const PIX_IBitmap& got, const PIX_IBitmap& expected, int& firstX, int& firstY);

// The pixels where a and b (both 720 x 174) differ, the alpha byte ignored; without b, those of a
// that are not black (a host window's background).
int CountPanelDifferences(const PIX_IBitmap& a, const PIX_IBitmap* b);
