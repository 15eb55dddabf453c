#include "app/CameraCatalogue.h"
#include "app/ComboBox.h"
#include "app/NewFileDialog.h"
#include "storage/Database.h"

#include "TestSupport.h"

#include <QtTest>

Q_DECLARE_METATYPE(tarvik_camera_t)

// The Default templates the build makes from data/templates, one per family and firmware.
class TestTemplates : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void defaultTemplate_data();
    void defaultTemplate();
    void everySourceIsInTheCatalogue();
    void newFileDialogListsThem();

private:
    CameraCatalogue m_catalogue;
    QString m_templates;
};

void TestTemplates::initTestCase()
{
    m_catalogue.addSupportedCameras();
    m_templates = TestSupport::binaryDir() + "/tarvik/Resources/templates";
}

void TestTemplates::defaultTemplate_data()
{
    QTest::addColumn<tarvik_camera_t>("family");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<int>("version");
    int rows = 0;
    for (const auto &[type, camera] : m_catalogue.cameras()) {
        for (unsigned i = 0; i < camera->supportedVersionCount(); ++i, ++rows) {
            const Camera::Version version = camera->version(i);
            QTest::newRow(qPrintable(camera->directoryName() + ' ' + version.second))
                << type << version.second << version.first;
        }
    }
    QCOMPARE(rows, 13);
}

void TestTemplates::defaultTemplate()
{
    QFETCH(tarvik_camera_t, family);
    QFETCH(QString, firmware);
    QFETCH(int, version);
    const QString path
        = QString("%1/%2/%3/Default.preset").arg(m_templates, m_catalogue.camera(family)->directoryName(), firmware);
    QVERIFY2(QFile::exists(path), qPrintable(path));

    Database preset(path, true, 1);
    QVERIFY(preset.isOpen());
    QVERIFY(preset.executeQuery("SELECT version FROM info"));
    QCOMPARE(preset.rowCount(), 1);
    QCOMPARE(preset.itemAt(0, 0).toInt(), version);
    QVERIFY(preset.executeQuery("SELECT version, camera_type FROM vek_tarvik"));
    QCOMPARE(preset.rowCount(), 1);
    QCOMPARE(preset.itemAt(0, 0), QString("1"));
    QCOMPARE(m_catalogue.tarvikCameraType(preset.itemAt(0, 1).toLatin1().constData()), family);
    QVERIFY(preset.executeQuery("SELECT name, value FROM parameters"));
    QCOMPARE(preset.rowCount(), 0);

    // Encrypted exactly when the version is above 8: only then does opening without the key fail.
    Database withoutKey(path, false, 1);
    QCOMPARE(withoutKey.isOpen(), version <= 8);
}

void TestTemplates::everySourceIsInTheCatalogue()
{
    const QString sources = TestSupport::sourceDir() + "/tarvik/data/templates";
    QDirIterator it(sources, {"*.sql"}, QDir::Files, QDirIterator::Subdirectories);
    int count = 0;
    while (it.hasNext()) {
        const QStringList parts = QDir(sources).relativeFilePath(it.next()).split('/');
        QCOMPARE(parts.size(), 3);
        const auto cameras = m_catalogue.cameras();
        const auto camera = std::find_if(cameras.begin(), cameras.end(),
            [&](const auto &entry) { return entry.second->directoryName() == parts[0]; });
        QVERIFY2(camera != cameras.end(), qPrintable(parts[0]));
        bool listed = false;
        for (unsigned i = 0; i < camera->second->supportedVersionCount(); ++i)
            listed |= camera->second->version(i).second == parts[1];
        QVERIFY2(listed, qPrintable(parts[1]));
        ++count;
    }
    QCOMPARE(count, 13);
}

void TestTemplates::newFileDialogListsThem()
{
    const QString start = QDir::currentPath();
    const QString program = TestSupport::binaryDir() + "/tarvik/bin";
    QVERIFY(QDir().mkpath(program));
    QVERIFY(QDir::setCurrent(program));
    LogCapture log;
    NewFileDialog dialog(m_catalogue.cameras());
    QDir::setCurrent(start);
    QCOMPARE(log.messages("ERROR"), QStringList());

    for (int family = 0; family < dialog.cameraCombo()->count(); ++family) {
        dialog.cameraCombo()->setCurrentIndex(family);
        for (int version = 0; version < dialog.versionCombo()->count(); ++version) {
            dialog.versionCombo()->setCurrentIndex(version);
            QCOMPARE(dialog.currentTemplate(), QString("Default"));
        }
    }
    QCOMPARE(log.messages("ERROR"), QStringList());
}

QTEST_MAIN(TestTemplates)
#include "tst_templates.moc"
