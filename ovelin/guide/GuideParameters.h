#pragma once

#include <QList>
#include <QString>
#include <QVariant>

class Database;
class QObject;
class QStandardItemModel;

// The GUIDE_ rows of a preset: names, encodings, ranges and the items of the
// controls that edit them. The guides, the panel and the main window share this.
namespace GuideParameters {

// General settings.
inline constexpr char CenterGuide[] = "GUIDE_CENTER_GUIDE";
inline constexpr char CenterColor[] = "GUIDE_CENTER_COLOR";
inline constexpr char CenterOpacity[] = "GUIDE_CENTER_OPACITY";
inline constexpr char GridGuide[] = "GUIDE_GRID_GUIDE";
inline constexpr char GridColor[] = "GUIDE_GRID_COLOR";
inline constexpr char GridOpacity[] = "GUIDE_GRID_OPACITY";
inline constexpr char LookaroundGuide[] = "GUIDE_LOOKAROUND_GUIDE";
inline constexpr char LookaroundColor[] = "GUIDE_LOOKAROUND_COLOR";
inline constexpr char LookaroundOpacity[] = "GUIDE_LOOKAROUND_OPACITY";

// Per guide; %1 is the guide number (0 frame, 1 action, 2 title).
inline constexpr char FrameMode[] = "GUIDE_FRAME_%1_MODE";
inline constexpr char FrameRatio[] = "GUIDE_FRAME_%1_AR_NUM";
inline constexpr char FrameScale[] = "GUIDE_FRAME_%1_SCALE";
inline constexpr char FrameAbsolute[] = "GUIDE_FRAME_%1_ABS";
inline constexpr char FrameOffsetX[] = "GUIDE_FRAME_%1_OFFSET_X_PERCENT";
inline constexpr char FrameOffsetY[] = "GUIDE_FRAME_%1_OFFSET_Y_PERCENT";
inline constexpr char FrameLineStyle[] = "GUIDE_FRAME_%1_LINE_STYLE";
inline constexpr char FrameColor[] = "GUIDE_FRAME_%1_COLOR";
inline constexpr char FrameOpacity[] = "GUIDE_FRAME_%1_OPACITY";
inline constexpr char FrameRelative[] = "GUIDE_FRAME_%1_REL_TO_FRAME_0"; // guides 1 and 2 only

constexpr int guideCount = 3;

QString forGuide(const char *pattern, int index);

// One item of a choice: the text shown and the stored number.
struct Choice {
    const char *text;
    int value;
};

struct ColorEntry {
    const char *name;
    const char *color; // "#RRGGBB"
    const char *textColor; // legible on top of `color`
};

// Indexed by colour number 0 to 8.
extern const ColorEntry colors[9];
extern const Choice modes[9];
extern const Choice lineTypes[3];
extern const Choice opacities[4];
// Centre and grid "Relative To"; the shading has the same items without "Off".
extern const Choice relatives[5];

// "QComboBox { background-color: ...; color: ...; }" for colour number `index`.
QString colorStyleSheet(int index);

// Item models for the combo boxes. Colour items show each name on its own colour.
QStandardItemModel *createModeModel(QObject *parent);
QStandardItemModel *createLineTypeModel(QObject *parent);
QStandardItemModel *createColorModel(QObject *parent);
QStandardItemModel *createOpacityModel(QObject *parent);
QStandardItemModel *createRelativeModel(bool withOff, QObject *parent);

enum class Encoding {
    Number, // stored bare as an integer
    Rectangle // "x:y:w:h" text, stored quoted
};

struct Parameter {
    QString name;
    Encoding encoding;
    QList<int> choices; // allowed values; empty when a range applies
    int minimum;
    int maximum;
};

// All 38 rows: the 9 general ones, then per guide mode, ratio, scale, absolute
// rectangle, offsets, line style, colour, opacity, and the relative flags of guides 1 and 2.
const QList<Parameter> &parameters();
const Parameter *parameter(const QString &name);
// True when `value` is a valid stored value for the named row.
bool isValidValue(const QString &name, const QString &value);

// Reads the value of `name` from the preset. A missing row is taken from the default
// template and inserted into the preset (the absolute rectangle always as text);
// without a template the error is logged and false returned.
bool lookUp(Database *preset, Database *defaultTemplate, const QString &name, QString *value);

} // namespace GuideParameters
