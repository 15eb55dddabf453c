#include "app/AppWindow.h"
#include "app/Application.h"
#include "app/QtUtil.h"

#include "TestSupport.h"

#include <QDir>
#include <QFileOpenEvent>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <vector>

namespace {
class RecordingWindow : public AppWindow
{
public:
    QStringList opened;
    int starts = 0;
    void openFileExternally(const QString &fileName) override { opened << fileName; }
    void initialStart() override { ++starts; }
};

// Keeps an argument vector alive for the application's whole life.
struct Arguments
{
    explicit Arguments(const QStringList &list)
    {
        for (const QString &a : list)
            storage.push_back(a.toLocal8Bit());
        for (QByteArray &a : storage)
            pointers.push_back(a.data());
        pointers.push_back(nullptr);
        argc = int(storage.size());
    }
    std::vector<QByteArray> storage;
    std::vector<char *> pointers;
    int argc;
};

RecordingWindow *lastWindow = nullptr;
QString programPath; // argv[0] of this test
QString programDirectory; // its canonical directory, taken before any test changes directory
Application::WindowFactory factory()
{
    return [] { return lastWindow = new RecordingWindow; };
}
} // namespace

class TestApplication : public QObject
{
    Q_OBJECT

private slots:
    void startArguments_data();
    void startArguments();
    void fileOpenEventIsForwarded();
    void currentDirectoryIsExecutableDirectory();
    void quitDeletesWindow();
    void shippedStyleSheetsConcatenate();
};

void TestApplication::startArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<int>("starts");
    QTest::newRow("no argument") << QStringList{} << QStringList{} << 1;
    QTest::newRow("one file") << QStringList{"/tmp/a b.preset"} << QStringList{"/tmp/a b.preset"} << 0;
    QTest::newRow("only the first of two") << QStringList{"/x/one.preset", "/x/two.preset"}
                                           << QStringList{"/x/one.preset"} << 0;
    QTest::newRow("non-ascii path") << QStringList{QString::fromUtf8("/x/Pr\u00fcfung.preset")}
                                    << QStringList{QString::fromUtf8("/x/Pr\u00fcfung.preset")} << 0;
}

void TestApplication::startArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, opened);
    QFETCH(int, starts);
    Arguments args(QStringList{programPath} + arguments);
    Application app(args.argc, args.pointers.data(), "VEK Test", factory());
    QCOMPARE(QCoreApplication::applicationName(), QString("VEK Test"));
    RecordingWindow *window = lastWindow;
    QCOMPARE(app.mainWindow(), window);
    QVERIFY(!window->isVisible());
    app.initialize();
    QVERIFY(window->isVisible());
    QCOMPARE(window->opened, opened);
    QCOMPARE(window->starts, starts);
    app.cleanup();
}

void TestApplication::fileOpenEventIsForwarded()
{
    Arguments args({"tst"});
    Application app(args.argc, args.pointers.data(), "VEK Test", factory());
    app.initialize();
    QFileOpenEvent event(QStringLiteral("/media/card/presets/Day 1.preset"));
    QCoreApplication::sendEvent(&app, &event);
    QCOMPARE(lastWindow->opened, QStringList{"/media/card/presets/Day 1.preset"});
    QCOMPARE(lastWindow->starts, 1);
    app.cleanup();
}

void TestApplication::currentDirectoryIsExecutableDirectory()
{
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QDir::tempPath()));
    {
        Arguments args({programPath});
        Application app(args.argc, args.pointers.data(), "VEK Test", factory());
        QCOMPARE(QDir::currentPath(), programDirectory);
        app.cleanup();
    }
    QDir::setCurrent(before);
}

void TestApplication::quitDeletesWindow()
{
    Arguments args({"tst"});
    Application app(args.argc, args.pointers.data(), "VEK Test", factory());
    QPointer<AppWindow> window = app.mainWindow();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    QCOMPARE(app.exec(), 0);
    QVERIFY(window.isNull());
    QCOMPARE(app.mainWindow(), nullptr);
}

void TestApplication::shippedStyleSheetsConcatenate()
{
    const QString dir = TestSupport::sourceDir();
    const QString base = dir + "/resources/stylesheets/base-mac.qss";
    const QString overlay = dir + "/tarvik/stylesheets/mac.qss";
    QFile b(base), o(overlay);
    QVERIFY(b.open(QIODevice::ReadOnly));
    QVERIFY(o.open(QIODevice::ReadOnly));
    const QString baseText = QString::fromLatin1(b.readAll());
    QCOMPARE(QtUtil::generateStyleSheet({base, overlay}), baseText + QString::fromLatin1(o.readAll()));
    QCOMPARE(QtUtil::generateStyleSheet({base, dir + "/tarvik/stylesheets/absent.qss"}), baseText);
}

int main(int, char **mainArgv)
{
    programPath = QString::fromLocal8Bit(mainArgv[0]);
    programDirectory = QFileInfo(programPath).canonicalPath();
    // Every case builds its own Application, as a program does.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication test;
    int argc = 1;
    char name[] = "tst_application";
    char *argv[] = {name, nullptr};
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
