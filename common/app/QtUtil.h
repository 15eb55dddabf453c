#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

// A rectangle as its top-left corner, width and height.
struct TRect
{
    int x;
    int y;
    int w;
    int h;
};

// Stateless helpers shared by both programs.
namespace QtUtil {
Qt::GlobalColor qtColor(int code);
Qt::PenStyle qtPenStyle(int code);
TRect tRectFromQRect(const QRect &rect);
QPoint desktopCenter(const QSize &size);
bool filenameIsValid(const QString &path);
QString baseFilename(const QString &path, bool keepExtension);
QString pathFromFile(const QString &path);
bool fileExists(const QString &path);
// Whether both paths name one existing file, however each is spelled.
bool isSameFile(const QString &a, const QString &b);
// Copies source to destination byte for byte. Returns true only when the whole
// file was read and written and the destination was closed without error; a
// failed copy leaves no partial destination behind.
bool copyFile(const QString &destination, const QString &source);
int base64index(char c);
QString generateStyleSheet(const QStringList &paths);
QString decodedStringFromString(const QString &text);
QString encodedStringFromString(const QString &text);
}
