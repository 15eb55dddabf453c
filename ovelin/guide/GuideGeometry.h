#pragma once

#include "app/QtUtil.h"

#include <QSize>

// Guide and canvas arithmetic, kept apart from the widgets so it can be checked
// without a window. Non-integer steps run in single precision on purpose: the
// camera computes its guides that way, and the preview must match it pixel for pixel.
namespace GuideGeometry {

// Mode codes of the mode combo box; a positive code is the ratio x 1 000 000.
enum Mode { ModeOff = -1, ModeFull = 0, ModeUser = -2, ModeAbsolute = -3 };

struct GuideSettings {
    int mode = ModeOff;
    int userRatio = 0; // ratio x 10 000
    int scale = 0; // hundredths of a percent
    int offsetX = 0; // hundredths of a percent, -10000 to 10000
    int offsetY = 0;
    int absoluteWidth = 0;
    int absoluteHeight = 0;
    int absoluteOffsetX = 0; // pixels from the centred position
    int absoluteOffsetY = 0;
};

// Nearest integer, halves away from zero. Saturates instead of overflowing; NaN gives 0.
int roundHalfAway(float value);
// Drops the fraction, with the same saturation.
int truncateToInt(float value);

// The guide rectangle in sensor pixels inside `area`.
TRect computeRect(const GuideSettings &settings, const TRect &area, float squeeze);

// Maps a sensor-pixel rectangle shown by `source` onto the canvas rectangle `target`.
TRect mapToCanvas(const TRect &rect, const TRect &target, const TRect &source);

// Maps one sensor-pixel coordinate along one axis (the canvas's centre mark uses it).
int mapCoordinate(int value, int targetStart, int targetLength, int sourceStart, int sourceLength);

// The canvas size that shows `format` at its display aspect inside a container.
QSize fitCanvas(int containerWidth, int containerHeight, const TRect &format, float squeeze);

} // namespace GuideGeometry
