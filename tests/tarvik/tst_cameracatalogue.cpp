#include "app/CameraCatalogue.h"

#include "TestSupport.h"

#include <QtTest>

Q_DECLARE_METATYPE(tarvik_camera_t)

class TestCameraCatalogue : public QObject {
    Q_OBJECT

private slots:
    void supportedCameras();
    void emptyCamera();
    void paths();
    void presetVersionIsValid_data();
    void presetVersionIsValid();
    void unknownFamily();
    void cameraTypeText_data();
    void cameraTypeText();
    void cameraVersionString_data();
    void cameraVersionString();
    void camerasWithPresetVersion();
    void familyAddedOnce();
};

void TestCameraCatalogue::supportedCameras()
{
    CameraCatalogue catalogue;
    catalogue.addSupportedCameras();
    QCOMPARE(catalogue.cameras().size(), size_t(2));

    struct Expected {
        tarvik_camera_t type;
        QString display, directory;
        QList<Camera::Version> versions;
    };
    const QList<Expected> expected = {
        {TARVIK_CAMERA_TANO_BRISOLA, "Tano/Brisola", "tano_brisola",
            {{5, "4.0.x"}, {9, "5.1.x"}, {10, "5.2.x"}, {10, "5.3.x"}, {15, "6.0.x"}, {16, "6.1.x"}, {16, "6.2.x"},
                {16, "6.3.x"}, {16, "6.4.x"}}},
        {TARVIK_CAMERA_DUROMA, "DUROMA", "duroma", {{16, "6.1.x"}, {16, "6.2.x"}, {16, "6.3.x"}, {16, "6.4.x"}}},
    };
    auto it = catalogue.cameras().begin();
    for (const Expected &family : expected) {
        QCOMPARE(it->first, family.type);
        const Camera *camera = it->second;
        QCOMPARE(camera->cameraType(), family.type);
        QCOMPARE(camera->displayName(), family.display);
        QCOMPARE(camera->directoryName(), family.directory);
        QCOMPARE(camera->supportedVersionCount(), unsigned(family.versions.size()));
        for (int i = 0; i < family.versions.size(); ++i)
            QCOMPARE(camera->version(unsigned(i)), family.versions.at(i));
        ++it;
    }
}

void TestCameraCatalogue::emptyCamera()
{
    Camera camera;
    QCOMPARE(camera.cameraType(), TARVIK_CAMERA_TANO_BRISOLA);
    QVERIFY(camera.displayName().isEmpty());
    QVERIFY(camera.directoryName().isEmpty());
    QCOMPARE(camera.supportedVersionCount(), 0u);
    QCOMPARE(camera.version(0), Camera::Version(0, QString()));

    camera.addVersion(16, "6.1.x");
    QCOMPARE(camera.version(0), Camera::Version(16, "6.1.x"));
    // One past the end, and far past it.
    QCOMPARE(camera.version(camera.supportedVersionCount()), Camera::Version(0, QString()));
    QCOMPARE(camera.version(~0u), Camera::Version(0, QString()));
}

void TestCameraCatalogue::paths()
{
    CameraCatalogue catalogue;
    catalogue.addSupportedCameras();
    const Camera *tano = catalogue.camera(TARVIK_CAMERA_TANO_BRISOLA);
    const Camera *duroma = catalogue.camera(TARVIK_CAMERA_DUROMA);
    QCOMPARE(tano->factoryPath(16), QString("../Resources/databases/tano_brisola/factory16.db"));
    QCOMPARE(tano->factoryPath(5), QString("../Resources/databases/tano_brisola/factory5.db"));
    QCOMPARE(duroma->factoryPath(16), QString("../Resources/databases/duroma/factory16.db"));
    QCOMPARE(duroma->templateDirectory("6.4.x"), QString("../Resources/templates/duroma/6.4.x"));
    QCOMPARE(duroma->templateDirectory(QString()), QString("../Resources/templates/duroma/"));
    QCOMPARE(tano->templateDirectory(QString()), QString("../Resources/templates/tano_brisola/"));
}

void TestCameraCatalogue::presetVersionIsValid_data()
{
    QTest::addColumn<tarvik_camera_t>("type");
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("valid");
    QTest::newRow("duroma 15") << TARVIK_CAMERA_DUROMA << 15 << false;
    QTest::newRow("tano 15") << TARVIK_CAMERA_TANO_BRISOLA << 15 << true;
    QTest::newRow("tano 5") << TARVIK_CAMERA_TANO_BRISOLA << 5 << true;
    QTest::newRow("tano 10") << TARVIK_CAMERA_TANO_BRISOLA << 10 << true;
    QTest::newRow("duroma 16") << TARVIK_CAMERA_DUROMA << 16 << true;
    QTest::newRow("duroma 5") << TARVIK_CAMERA_DUROMA << 5 << false;
    QTest::newRow("tano 8") << TARVIK_CAMERA_TANO_BRISOLA << 8 << false;
    QTest::newRow("tano 0") << TARVIK_CAMERA_TANO_BRISOLA << 0 << false;
}

void TestCameraCatalogue::presetVersionIsValid()
{
    QFETCH(tarvik_camera_t, type);
    QFETCH(int, version);
    QFETCH(bool, valid);
    CameraCatalogue catalogue;
    catalogue.addSupportedCameras();
    LogCapture log;
    QCOMPARE(catalogue.presetVersionIsValid(type, version), valid);
    QVERIFY(log.messages("ERROR").isEmpty());
}

void TestCameraCatalogue::unknownFamily()
{
    CameraCatalogue catalogue;
    LogCapture log;

    catalogue.addCameraVersion(TARVIK_CAMERA_DUROMA, 16, "6.1.x");
    QVERIFY(log.contains("ERROR", "There are no cameras of type 1"));
    QVERIFY(catalogue.cameras().empty());

    log.clear();
    QVERIFY(!catalogue.presetVersionIsValid(TARVIK_CAMERA_TANO_BRISOLA, 16));
    QVERIFY(log.contains("ERROR", "There are no cameras of type 0"));

    log.clear();
    QVERIFY(catalogue.getCameraVersionString(TARVIK_CAMERA_INVALID, 16).isEmpty());
    QVERIFY(log.contains("ERROR", "There are no cameras of type 2"));
    QCOMPARE(catalogue.camera(TARVIK_CAMERA_TANO_BRISOLA), nullptr);
}

void TestCameraCatalogue::cameraTypeText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<tarvik_camera_t>("type");
    QTest::newRow("tano") << QByteArray("TARVIK_CAMERA_TANO_BRISOLA") << TARVIK_CAMERA_TANO_BRISOLA;
    QTest::newRow("duroma") << QByteArray("TARVIK_CAMERA_DUROMA") << TARVIK_CAMERA_DUROMA;
    QTest::newRow("letter case") << QByteArray("TARVIK_CAMERA_Duroma") << TARVIK_CAMERA_INVALID;
    QTest::newRow("lower case") << QByteArray("tarvik_camera_tano_brisola") << TARVIK_CAMERA_INVALID;
    QTest::newRow("trailing blank") << QByteArray("TARVIK_CAMERA_DUROMA ") << TARVIK_CAMERA_INVALID;
    QTest::newRow("prefix only") << QByteArray("TARVIK_CAMERA_") << TARVIK_CAMERA_INVALID;
    QTest::newRow("invalid name") << QByteArray("TARVIK_CAMERA_INVALID") << TARVIK_CAMERA_INVALID;
    QTest::newRow("empty") << QByteArray("") << TARVIK_CAMERA_INVALID;
}

void TestCameraCatalogue::cameraTypeText()
{
    QFETCH(QByteArray, text);
    QFETCH(tarvik_camera_t, type);
    CameraCatalogue catalogue;
    catalogue.addSupportedCameras();
    QCOMPARE(catalogue.tarvikCameraType(text.constData()), type);
    // The text of a valid family reads back as the same text.
    if (type != TARVIK_CAMERA_INVALID)
        QCOMPARE(catalogue.tarvikCameraString(type), QString::fromLatin1(text));
}

void TestCameraCatalogue::cameraVersionString_data()
{
    QTest::addColumn<tarvik_camera_t>("type");
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("text");
    QTest::newRow("tano 10") << TARVIK_CAMERA_TANO_BRISOLA << 10 << "Tano/Brisola 5.2.x, 5.3.x";
    QTest::newRow("tano 16") << TARVIK_CAMERA_TANO_BRISOLA << 16 << "Tano/Brisola 6.1.x, 6.2.x, 6.3.x, 6.4.x";
    QTest::newRow("tano 5") << TARVIK_CAMERA_TANO_BRISOLA << 5 << "Tano/Brisola 4.0.x";
    QTest::newRow("duroma 16") << TARVIK_CAMERA_DUROMA << 16 << "DUROMA 6.1.x, 6.2.x, 6.3.x, 6.4.x";
    QTest::newRow("no document yet") << TARVIK_CAMERA_TANO_BRISOLA << 0 << "";
    QTest::newRow("duroma 15") << TARVIK_CAMERA_DUROMA << 15 << "";
}

void TestCameraCatalogue::cameraVersionString()
{
    QFETCH(tarvik_camera_t, type);
    QFETCH(int, version);
    QFETCH(QString, text);
    CameraCatalogue catalogue;
    catalogue.addSupportedCameras();
    QCOMPARE(catalogue.getCameraVersionString(type, version), text);
}

void TestCameraCatalogue::camerasWithPresetVersion()
{
    CameraCatalogue catalogue;
    catalogue.addSupportedCameras();
    using Types = QList<tarvik_camera_t>;
    QCOMPARE(catalogue.camerasWithPresetVersion(16), Types({TARVIK_CAMERA_TANO_BRISOLA, TARVIK_CAMERA_DUROMA}));
    QCOMPARE(catalogue.camerasWithPresetVersion(9), Types({TARVIK_CAMERA_TANO_BRISOLA}));
    QCOMPARE(catalogue.camerasWithPresetVersion(10), Types({TARVIK_CAMERA_TANO_BRISOLA}));
    QCOMPARE(catalogue.camerasWithPresetVersion(7), Types());
    QCOMPARE(catalogue.tarvikCameraString(TARVIK_CAMERA_INVALID), QString());
    QCOMPARE(catalogue.tarvikCameraString(tarvik_camera_t(7)), QString());
}

void TestCameraCatalogue::familyAddedOnce()
{
    CameraCatalogue catalogue;
    catalogue.addCamera(TARVIK_CAMERA_DUROMA, "DUROMA", "duroma");
    catalogue.addCameraVersion(TARVIK_CAMERA_DUROMA, 16, "6.1.x");
    catalogue.addCamera(TARVIK_CAMERA_DUROMA, "Other", "other");
    const Camera *camera = catalogue.camera(TARVIK_CAMERA_DUROMA);
    QCOMPARE(camera->displayName(), QString("DUROMA"));
    QCOMPARE(camera->supportedVersionCount(), 1u);
}

QTEST_GUILESS_MAIN(TestCameraCatalogue)
#include "tst_cameracatalogue.moc"
