#include "raster/PIX_GlyphMap.h"

#include <cstdlib>
#include <cstring>

#include "raster/PIX_BlendOps.h"

namespace {

constexpr int kStackRow = 1024;

using pix_ops::Eighth;
using pix_ops::Half;
using pix_ops::Quarter;

// One row with a single vertical neighbour (the first and the last row).
void SoftenEdgeRow(uint32_t* out, const uint32_t* row, const uint32_t* vertical, int width) {
    out[0] = Half(row[0]) + Quarter(row[1]) + Quarter(vertical[0]);
    for (int x = 1; x < width - 1; ++x) {
        out[x] = Half(row[x]) + Eighth(row[x - 1]) + Eighth(row[x + 1]) + Quarter(vertical[x]);
    }
    out[width - 1] = Half(row[width - 1]) + Quarter(row[width - 2]) + Quarter(vertical[width - 1]);
}

void SoftenInnerRow(uint32_t* out, const uint32_t* row, const uint32_t* above, const uint32_t* below,
                    int width) {
    out[0] = Half(row[0]) + Quarter(row[1]) + Eighth(above[0]) + Eighth(below[0]);
    for (int x = 1; x < width - 1; ++x) {
        out[x] = Half(row[x]) + Eighth(row[x - 1]) + Eighth(row[x + 1]) + Eighth(above[x]) + Eighth(below[x]);
    }
    const int last = width - 1;
    out[last] = Half(row[last]) + Quarter(row[last - 1]) + Eighth(above[last]) + Eighth(below[last]);
}

} // namespace

void PIX_SoftenGlyphArea(uint32_t* row0, ptrdiff_t step, int width, int height) {
    if (width < 2 || height < 2) {
        return;
    }
    uint32_t stackRows[2 * kStackRow];
    uint32_t* saved = stackRows;
    if (width > kStackRow) {
        saved = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * 2 * static_cast<size_t>(width)));
        if (saved == nullptr) {
            return;
        }
    }
    // The rows above and at the pen, as they were before softening.
    uint32_t* above = saved;
    uint32_t* current = saved + width;
    const size_t rowBytes = sizeof(uint32_t) * static_cast<size_t>(width);

    std::memcpy(current, row0, rowBytes);
    SoftenEdgeRow(row0, current, row0 + step, width);
    for (int y = 1; y < height - 1; ++y) {
        uint32_t* row = row0 + y * step;
        uint32_t* swap = above;
        above = current;
        current = swap;
        std::memcpy(current, row, rowBytes);
        SoftenInnerRow(row, current, above, row + step, width);
    }
    // The last row sees the row above as already softened.
    uint32_t* last = row0 + (height - 1) * step;
    std::memcpy(above, last, rowBytes);
    SoftenEdgeRow(last, above, last - step, width);

    if (saved != stackRows) {
        std::free(saved);
    }
}

int PIX_ExtractCoverage(const uint32_t* row0, ptrdiff_t step, int boxWidth, int height, int inkLeft,
                        int inkRight, bool invert, uint8_t* map, int& left) {
    int l = inkLeft;
    int r = inkRight;
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = row0 + y * step;
        uint8_t* out = map + static_cast<size_t>(y) * boxWidth;
        for (int x = 0; x < boxWidth; ++x) {
            auto c = static_cast<uint8_t>(row[x] >> 16);
            if (invert) {
                c = static_cast<uint8_t>(255 - c);
            }
            out[x] = c;
            if (c != 0) {
                if (x < l) {
                    l = x;
                }
                if (x + 1 > r) {
                    r = x + 1;
                }
            }
        }
    }
    // A cell wider than the box (a character cut at the scratch's edge) keeps only the box.
    if (r > boxWidth) {
        r = boxWidth;
    }
    if (l < 0) {
        l = 0;
    }
    left = l;
    if (r < boxWidth || l > 0) {
        const int width = r - l;
        for (int y = 0; y < height; ++y) {
            std::memmove(map + static_cast<size_t>(y) * width, map + static_cast<size_t>(y) * boxWidth + l,
                         static_cast<size_t>(width));
        }
        return width;
    }
    return boxWidth;
}

void PIX_RotateGlyphMap(uint8_t* map, int& width, int& height, bool bottomUp, uint8_t* temp) {
    const int oldWidth = width;
    const int oldHeight = height;
    std::memcpy(temp, map, static_cast<size_t>(oldWidth) * oldHeight);
    // New row j, column k.
    for (int j = 0; j < oldWidth; ++j) {
        uint8_t* out = map + static_cast<size_t>(j) * oldHeight;
        for (int k = 0; k < oldHeight; ++k) {
            out[k] = bottomUp ? temp[static_cast<size_t>(k) * oldWidth + (oldWidth - 1 - j)]
                              : temp[static_cast<size_t>(oldHeight - 1 - k) * oldWidth + j];
        }
    }
    width = oldHeight;
    height = oldWidth;
}

void PIX_ThresholdGlyphMap(uint8_t* map, int width, int height) {
    const size_t n = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < n; ++i) {
        map[i] = map[i] > 130 ? 255 : 0;
    }
}

void PIX_AddGlyphShadow(uint8_t* map, int width, int height) {
    for (int y = 0; y < height; ++y) {
        uint8_t* row = map + static_cast<size_t>(y) * width;
        const uint8_t* up = y > 0 ? row - width : nullptr;
        for (int x = 0; x < width; ++x) {
            if (row[x] != 0) {
                continue;
            }
            const bool lit = (x > 0 && row[x - 1] == 255) || (up != nullptr && up[x] == 255) ||
                             (up != nullptr && x > 0 && up[x - 1] == 255);
            if (lit) {
                row[x] = 128;
            }
        }
    }
}

void PIX_AddGlyphOutline(uint8_t* map, int width, int height) {
    for (int y = 0; y < height; ++y) {
        uint8_t* row = map + static_cast<size_t>(y) * width;
        const uint8_t* up = y > 0 ? row - width : nullptr;
        const uint8_t* down = y + 1 < height ? row + width : nullptr;
        for (int x = 0; x < width; ++x) {
            if (row[x] != 0) {
                continue;
            }
            const bool lit = (x > 0 && row[x - 1] == 255) || (x + 1 < width && row[x + 1] == 255) ||
                             (up != nullptr && up[x] == 255) || (down != nullptr && down[x] == 255);
            if (lit) {
                row[x] = 128;
            }
        }
    }
}
