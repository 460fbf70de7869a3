#include "graphics/IGraphicsRecords.h"

#include <algorithm>

bool IRectangle::Intersects(const IRectangle& other) const {
    return !Empty() && !other.Empty() && R >= other.L && L < other.R && B >= other.T && T < other.B;
}

IRectangle IRectangle::Intersect(const IRectangle& other) const {
    if (!Intersects(other)) {
        return IRectangle();
    }
    return {std::max(L, other.L), std::max(T, other.T), std::min(R, other.R), std::min(B, other.B)};
}

void IRectangle::Unite(const IRectangle& other) {
    if (Empty()) {
        *this = other;
    } else if (!other.Empty()) {
        *this = {std::min(L, other.L), std::min(T, other.T), std::max(R, other.R), std::max(B, other.B)};
    }
}

bool IRectangle::Contains(int x, int y) const {
    return !Empty() && L <= x && x < R && T <= y && y < B;
}

bool IRectangle::operator==(const IRectangle& other) const {
    return L == other.L && T == other.T && R == other.R && B == other.B;
}

uint32_t IColour::Packed() const {
    return (static_cast<uint32_t>(A) & 0xFFu) << 24 | (static_cast<uint32_t>(R) & 0xFFu) << 16 |
           (static_cast<uint32_t>(G) & 0xFFu) << 8 | (static_cast<uint32_t>(B) & 0xFFu);
}

int IFrameBitmap::FrameWidth() const {
    return framesHorizontal && frames > 0 ? width / frames : width;
}

int IFrameBitmap::FrameHeight() const {
    return !framesHorizontal && frames > 0 ? height / frames : height;
}
