#include "app/QtUtil.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>

#include <cstdio>
#include <utility>

namespace {

// Applied top to bottom when decoding, and when encoding.
const std::pair<const char *, const char *> entityTable[] = {
    {"&amp;", "&"},
    {"&deg;", "\u00B0"},
    {"&reg;", "\u00AE"},
    {"&copy;", "\u00A9"},
    {"&trade;", "\u2122"},
    {"&vekana2;", " ANA 2"},
    {"&vekana13;", " ANA 1.3"},
    {"&vekae;", "AE"},
    {"&vekiso;", "ISO "},
    {"&veksec;", " sec"},
    {"&vekkelvin;", "K"},
    {"&vekformatk;", "K"},
    {"&vekfps;", " FPS"},
    {"&vek1over;", "1/"},
    {"&vekfover;", "f/"},
    {"&vekav;", " Av"},
    {"&vekcheck;", " Check"},
};

const Qt::GlobalColor colorTable[] = {Qt::black,   Qt::red,  Qt::blue,     Qt::green, Qt::yellow,
                                      Qt::magenta, Qt::cyan, Qt::darkGray, Qt::white};

FILE *openUtf8(const QString &path, const char *mode)
{
#ifdef _WIN32
    return _wfopen(reinterpret_cast<const wchar_t *>(path.utf16()),
                   reinterpret_cast<const wchar_t *>(QString::fromLatin1(mode).utf16()));
#else
    return std::fopen(path.toUtf8().constData(), mode);
#endif
}

} // namespace

namespace QtUtil {

Qt::GlobalColor qtColor(int code)
{
    if (code < 0 || code >= int(std::size(colorTable)))
        return Qt::black;
    return colorTable[code];
}

Qt::PenStyle qtPenStyle(int code)
{
    switch (code) {
    case 1:
        return Qt::DotLine;
    case 2:
        return Qt::CustomDashLine;
    default:
        return Qt::SolidLine;
    }
}

TRect tRectFromQRect(const QRect &rect)
{
    return TRect{rect.x(), rect.y(), rect.width(), rect.height()};
}

QPoint desktopCenter(const QSize &size)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    return QPoint(available.width() / 2 - size.width() / 2, available.height() / 2 - size.height() / 2);
}

bool filenameIsValid(const QString &path)
{
    if (!path.endsWith(QLatin1String(".preset")))
        return false;
    const QString base = baseFilename(path, false);
    if (base.trimmed().isEmpty())
        return false;
    static const QRegularExpression forbidden(QStringLiteral("[^A-Za-z0-9 _\\-]"));
    return !forbidden.match(base).hasMatch();
}

QString baseFilename(const QString &path, bool keepExtension)
{
    QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (!keepExtension) {
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0)
            name.truncate(dot);
    }
    return name;
}

QString pathFromFile(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    // A bare file name lies in the current directory.
    return slash < 0 ? QStringLiteral(".") : path.left(slash);
}

bool fileExists(const QString &path)
{
    FILE *file = openUtf8(path, "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

bool isSameFile(const QString &a, const QString &b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

bool copyFile(const QString &destination, const QString &source)
{
    FILE *in = openUtf8(source, "rb");
    if (!in)
        return false;
    FILE *out = openUtf8(destination, "wb");
    if (!out) {
        std::fclose(in);
        return false;
    }
    char buffer[64 * 1024];
    bool ok = true;
    for (;;) {
        const size_t n = std::fread(buffer, 1, sizeof buffer, in);
        if (n > 0 && std::fwrite(buffer, 1, n, out) != n) {
            ok = false;
            break;
        }
        if (n < sizeof buffer) {
            ok = !std::ferror(in);
            break;
        }
    }
    std::fclose(in);
    if (std::fclose(out) != 0)
        ok = false;
    if (!ok)
        QFile::remove(destination);
    return ok;
}

int base64index(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

QString generateStyleSheet(const QStringList &paths)
{
    QString sheet;
    for (const QString &path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.readAll();
        const int end = bytes.indexOf('\0');
        sheet += QString::fromLatin1(end < 0 ? bytes : bytes.left(end));
    }
    return sheet;
}

QString decodedStringFromString(const QString &text)
{
    QString result = text;
    for (const auto &[entity, plain] : entityTable)
        result.replace(QString::fromUtf8(entity), QString::fromUtf8(plain));
    return result;
}

QString encodedStringFromString(const QString &text)
{
    QString result = text;
    for (const auto &[entity, plain] : entityTable)
        result.replace(QString::fromUtf8(plain), QString::fromUtf8(entity));
    return result;
}

} // namespace QtUtil
