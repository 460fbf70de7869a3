#include "tests/support/PanelPicture.h"

#include "effect/dsp/PhaserParameter.h"
#include "graphics/IBitmapControl.h"
#include "raster/PIX_Blend.h"
#include "raster/PIX_PNG.h"

const PanelTextBox kPanelTextBoxes[kPanelTextBoxCount] = {
    {96, 40, Manual},      {170, 40, Spread},   {244, 40, Feedback}, {334, 40, LFOSpeed},
    {401, 20, SyncToHost}, {488, 40, LFODepth}, {562, 40, Stereo},   {652, 40, Mix}};

std::unique_ptr<PIX_MemBitmap> ComposePanel(const double normalized[10]) {
    std::unique_ptr<PIX_MemBitmap> images[5];
    for (int id = 1; id <= 4; ++id) {
        images[id].reset(PIX_ReadPNGResource(nullptr, id));
        if (!images[id]) {
            return nullptr;
        }
    }
    auto panel = std::make_unique<PIX_MemBitmap>(720, 174);
    PIX_CompositeRect(panel.get(), images[1].get(), 0, 0, nullptr, 1.0f, BlendCopy);
    auto frame = [&](int id, int frames, int x, int y, int parameter) {
        const int height = images[id]->GetHeight() / frames;
        const int index = FrameForValue(frames, normalized[parameter]) - 1;
        const PIX_Rect source = {0, index * height, images[id]->GetWidth(), (index + 1) * height};
        PIX_CompositeRect(panel.get(), images[id].get(), x, y, &source, 1.0f, BlendUseSourceAlpha);
    };
    frame(3, 2, 21, 96, Stages);
    const int knobs[][2] = {{96, Manual},    {170, Spread}, {244, Feedback}, {334, LFOSpeed},
                            {488, LFODepth}, {562, Stereo}, {652, Mix}};
    for (const auto& knob : knobs) {
        frame(2, 65, knob[0], 100, knob[1]);
    }
    frame(4, 2, 401, 94, SyncToHost);
    frame(4, 2, 441, 94, Waveform);
    return panel;
}

bool InPanelTextBand(int x, int y) {
    if (y < kPanelTextTop || y >= kPanelTextBottom) {
        return false;
    }
    for (const PanelTextBox& box : kPanelTextBoxes) {
        if (x >= box.x - kPanelTextReach && x < box.x + box.width + kPanelTextReach) {
            return true;
        }
    }
    return false;
}

int CountPanelMismatches(const PIX_IBitmap& got, const PIX_IBitmap& expected, int& firstX, int& firstY) {
    int mismatches = 0;
    firstX = firstY = -1;
    for (int y = 0; y < 174; ++y) {
        const PIX_Pixel32* gotRow = PIX_RowAddress(got, y);
        const PIX_Pixel32* expectedRow = PIX_RowAddress(expected, y);
        for (int x = 0; x < 720; ++x) {
            if (!InPanelTextBand(x, y) && ((gotRow[x] ^ expectedRow[x]) & 0xFFFFFF) != 0) {
                if (mismatches++ == 0) {
                    firstX = x;
                    firstY = y;
                }
            }
        }
    }
    return mismatches;
}

int CountPanelDifferences(const PIX_IBitmap& a, const PIX_IBitmap* b) {
    int count = 0;
    for (int y = 0; y < 174; ++y) {
        for (int x = 0; x < 720; ++x) {
            const PIX_Pixel32 other = b != nullptr ? PIX_RowAddress(*b, y)[x] : 0;
            count += ((PIX_RowAddress(a, y)[x] ^ other) & 0xFFFFFF) != 0 ? 1 : 0;
        }
    }
    return count;
}
