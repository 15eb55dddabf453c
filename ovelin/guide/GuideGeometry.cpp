#include "guide/GuideGeometry.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace GuideGeometry {

namespace {

int saturate(std::int64_t value)
{
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(value);
}

int saturate(float value)
{
    if (std::isnan(value))
        return 0;
    // 2^31 is exactly representable; anything at or past it saturates.
    if (value >= 2147483648.0f)
        return std::numeric_limits<int>::max();
    if (value <= -2147483648.0f)
        return std::numeric_limits<int>::min();
    return int(value);
}

// A source of one pixel (or none) cannot be scaled; treat it as two so that a
// bad area degrades the preview instead of dividing by zero.
std::int64_t spanOf(int length)
{
    const std::int64_t span = std::int64_t(length) - 1;
    return span == 0 ? 1 : span;
}

} // namespace

int roundHalfAway(float value)
{
    return saturate(std::round(value));
}

int truncateToInt(float value)
{
    return saturate(std::trunc(value));
}

TRect computeRect(const GuideSettings &s, const TRect &area, float squeeze)
{
    const int X = area.x;
    const int Y = area.y;
    const int W = area.w;
    const int H = area.h;

    if (s.mode == ModeAbsolute) {
        const int w = s.absoluteWidth;
        const int h = s.absoluteHeight;
        const float centredX = 0.5f * float(std::int64_t(W) - w) + float(X);
        const float centredY = 0.5f * float(std::int64_t(H) - h) + float(Y);
        return TRect {saturate(std::int64_t(roundHalfAway(centredX)) + s.absoluteOffsetX),
            saturate(std::int64_t(roundHalfAway(centredY)) + s.absoluteOffsetY), w, h};
    }

    int w = W;
    int h = H;
    if (s.mode != ModeOff && s.mode != ModeFull) {
        const float r = s.mode == ModeUser ? float(s.userRatio) / 10000.0f : float(s.mode) / 1000000.0f;
        // The area's width as the eye sees it, once the lens squeeze is undone.
        const int dW = truncateToInt(squeeze * float(W));
        if (float(dW) / float(H) > r) {
            h = H;
            w = roundHalfAway(float(H) * r / squeeze);
        } else {
            w = truncateToInt(float(dW) / squeeze);
            h = roundHalfAway(float(dW) / r);
        }
    }

    w = saturate((std::int64_t(s.scale) * w + 5000) / 10000);
    h = saturate((std::int64_t(s.scale) * h + 5000) / 10000);

    const float factorX = float(s.offsetX) / 10000.0f + 1.0f;
    const float factorY = float(s.offsetY) / 10000.0f + 1.0f;
    const int x = saturate(std::int64_t(X) + roundHalfAway(0.5f * float(std::int64_t(W) - w) * factorX));
    const int y = saturate(std::int64_t(Y) + roundHalfAway(0.5f * float(std::int64_t(H) - h) * factorY));
    return TRect {x, y, w, h};
}

int mapCoordinate(int value, int targetStart, int targetLength, int sourceStart, int sourceLength)
{
    return saturate(std::int64_t(targetStart)
        + (std::int64_t(value) - sourceStart) * (std::int64_t(targetLength) - 1) / spanOf(sourceLength));
}

TRect mapToCanvas(const TRect &rect, const TRect &target, const TRect &source)
{
    const std::int64_t w = (std::int64_t(rect.w) - 1) * (std::int64_t(target.w) - 1) / spanOf(source.w) + 1;
    const std::int64_t h = (std::int64_t(rect.h) - 1) * (std::int64_t(target.h) - 1) / spanOf(source.h) + 1;
    return TRect {mapCoordinate(rect.x, target.x, target.w, source.x, source.w),
        mapCoordinate(rect.y, target.y, target.h, source.y, source.h), saturate(w), saturate(h)};
}

QSize fitCanvas(int containerWidth, int containerHeight, const TRect &format, float squeeze)
{
    const int availableWidth = containerWidth - 20;
    const float dar = float(format.w) / float(format.h) * squeeze;
    int height = truncateToInt(float(availableWidth) / dar);
    int width = availableWidth;
    if (height >= containerHeight - 19) {
        height = containerHeight - 22;
        width = truncateToInt(dar * float(height));
    }
    if (height % 2 != 0)
        height -= 1;
    return QSize(width, height);
}

} // namespace GuideGeometry
