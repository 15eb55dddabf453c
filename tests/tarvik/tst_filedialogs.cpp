#include "app/CameraCatalogue.h"
#include "app/ComboBox.h"
#include "app/NewFileDialog.h"
#include "app/OpenFileDialog.h"

#include "TestSupport.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(tarvik_camera_t)

namespace {

QStringList items(const QComboBox *combo)
{
    QStringList result;
    for (int i = 0; i < combo->count(); ++i)
        result << combo->itemText(i);
    return result;
}

} // namespace

// Each test runs in a fresh temporary tree laid out like the program's: the current
// directory is <root>/bin and the templates lie under <root>/Resources/templates.
class TestFileDialogs : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstShowing();
    void versionRememberedPerFamily();
    void templateNames_data();
    void templateNames();
    void missingFamilyDirectory();
    void missingFirmwareDirectory();
    void okAndCancel();
    void noDefaultFirmware();
    void emptyCatalogue();
    void openFileDialog();

private:
    // Creates the file (or, with a trailing slash, the directory) below the templates.
    void add(const QString &relativePath);
    // Every family and firmware of the catalogue with a Default template and one named
    // after its directory.
    void addFullTree();

    std::unique_ptr<QTemporaryDir> m_root;
    QString m_startDirectory;
    CameraCatalogue m_catalogue;
};

void TestFileDialogs::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    QVERIFY(QDir(m_root->path()).mkpath("bin"));
    m_startDirectory = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_root->filePath("bin")));
    if (m_catalogue.cameras().empty())
        m_catalogue.addSupportedCameras();
}

void TestFileDialogs::cleanup()
{
    QDir::setCurrent(m_startDirectory);
    m_root.reset();
}

void TestFileDialogs::add(const QString &relativePath)
{
    const QString path = m_root->filePath("Resources/templates/" + relativePath);
    if (path.endsWith('/')) {
        QVERIFY(QDir().mkpath(path));
        return;
    }
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void TestFileDialogs::addFullTree()
{
    for (const auto &[type, camera] : m_catalogue.cameras()) {
        for (unsigned i = 0; i < camera->supportedVersionCount(); ++i) {
            const QString directory = camera->directoryName() + '/' + camera->version(i).second;
            add(directory + "/Default.preset");
            add(directory + "/" + camera->directoryName() + " " + camera->version(i).second + ".preset");
        }
    }
}

void TestFileDialogs::firstShowing()
{
    addFullTree();
    LogCapture log;
    NewFileDialog dialog(m_catalogue.cameras());
    QCOMPARE(log.messages("ERROR"), QStringList());
    QCOMPARE(log.messages("WARNING"), QStringList());

    QCOMPARE(items(dialog.cameraCombo()), QStringList({"Tano/Brisola", "DUROMA"}));
    QCOMPARE(dialog.cameraCombo()->itemData(0, Qt::UserRole).toInt(), 0);
    QCOMPARE(dialog.cameraCombo()->itemData(1, Qt::UserRole).toInt(), 1);
    QCOMPARE(dialog.cameraCombo()->itemData(1, Qt::UserRole + 1).toInt(), 3); // DUROMA's 6.4.x
    QCOMPARE(dialog.cameraCombo()->currentText(), QString("Tano/Brisola"));
    QCOMPARE(dialog.currentCameraType(), TARVIK_CAMERA_TANO_BRISOLA);
    QCOMPARE(items(dialog.versionCombo()),
        QStringList({"4.0.x", "5.1.x", "5.2.x", "5.3.x", "6.0.x", "6.1.x", "6.2.x", "6.3.x", "6.4.x"}));
    int presetVersion = -1;
    QCOMPARE(dialog.currentFirmwareVersion(&presetVersion), QString("6.4.x"));
    QCOMPARE(presetVersion, 16);
    QCOMPARE(items(dialog.templateCombo()), QStringList({"Default", "tano_brisola 6.4.x"}));
    QCOMPARE(dialog.currentTemplate(), QString("Default"));

    QCOMPARE(dialog.windowTitle(), QString("New File"));
    QCOMPARE(dialog.size(), QSize(320, 165));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(dialog.isModal());
    QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
}

void TestFileDialogs::versionRememberedPerFamily()
{
    addFullTree();
    NewFileDialog dialog(m_catalogue.cameras());
    int presetVersion = 0;

    dialog.cameraCombo()->setCurrentIndex(1);
    QCOMPARE(dialog.currentCameraType(), TARVIK_CAMERA_DUROMA);
    QCOMPARE(items(dialog.versionCombo()), QStringList({"6.1.x", "6.2.x", "6.3.x", "6.4.x"}));
    QCOMPARE(dialog.currentFirmwareVersion(nullptr), QString("6.4.x"));

    dialog.versionCombo()->setCurrentIndex(0);
    QCOMPARE(dialog.currentFirmwareVersion(&presetVersion), QString("6.1.x"));
    QCOMPARE(presetVersion, 16);
    QCOMPARE(items(dialog.templateCombo()), QStringList({"Default", "duroma 6.1.x"}));

    dialog.cameraCombo()->setCurrentIndex(0);
    QCOMPARE(dialog.currentFirmwareVersion(nullptr), QString("6.4.x"));
    dialog.versionCombo()->setCurrentIndex(1);
    QCOMPARE(dialog.currentFirmwareVersion(&presetVersion), QString("5.1.x"));
    QCOMPARE(presetVersion, 9);
    QCOMPARE(items(dialog.templateCombo()), QStringList({"Default", "tano_brisola 5.1.x"}));

    dialog.cameraCombo()->setCurrentIndex(1);
    QCOMPARE(dialog.currentFirmwareVersion(nullptr), QString("6.1.x"));
    QCOMPARE(items(dialog.templateCombo()), QStringList({"Default", "duroma 6.1.x"}));

    dialog.cameraCombo()->setCurrentIndex(0);
    QCOMPARE(dialog.currentFirmwareVersion(nullptr), QString("5.1.x"));
    QCOMPARE(items(dialog.templateCombo()), QStringList({"Default", "tano_brisola 5.1.x"}));
}

void TestFileDialogs::templateNames_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("blank in the name") << QStringList {"My Preset.preset"} << QStringList {"My Preset"};
    QTest::newRow("dot in the name") << QStringList {"a.b.preset"} << QStringList {"a.b"};
    QTest::newRow("other extensions") << QStringList {"notes.txt", "Default.preset.bak", "Default.preset", "Look.look"}
                                      << QStringList {"Default"};
    QTest::newRow("order ignores case") << QStringList {"b.preset", "C.preset", "A.preset"}
                                        << QStringList {"A", "b", "C"};
    QTest::newRow("directories") << QStringList {"Folder.preset/", "Default.preset"} << QStringList {"Default"};
    QTest::newRow("empty directory") << QStringList {} << QStringList {};
}

void TestFileDialogs::templateNames()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, listed);
    add("tano_brisola/6.4.x/");
    for (const QString &file : files)
        add("tano_brisola/6.4.x/" + file);
    NewFileDialog dialog(m_catalogue.cameras());
    QCOMPARE(items(dialog.templateCombo()), listed);
    QCOMPARE(dialog.currentTemplate(), listed.value(0));
}

void TestFileDialogs::missingFamilyDirectory()
{
    add("tano_brisola/6.4.x/Default.preset");
    LogCapture log;
    NewFileDialog dialog(m_catalogue.cameras());
    QVERIFY(log.contains("ERROR", "Directory \"../Resources/templates/duroma/\" does not exist."));
    QCOMPARE(items(dialog.templateCombo()), QStringList({"Default"}));

    log.clear();
    dialog.cameraCombo()->setCurrentIndex(1);
    QVERIFY(log.contains("ERROR", "There is no template data for camera type 1"));
    // The family offers no templates; the list keeps what it showed.
    QCOMPARE(dialog.currentFirmwareVersion(nullptr), QString("6.4.x"));
    QCOMPARE(items(dialog.templateCombo()), QStringList({"Default"}));
}

void TestFileDialogs::missingFirmwareDirectory()
{
    addFullTree();
    QVERIFY(QDir(m_root->filePath("Resources/templates/tano_brisola/5.1.x")).removeRecursively());
    LogCapture log;
    NewFileDialog dialog(m_catalogue.cameras());
    QCOMPARE(log.messages("ERROR").filter("Unable to enter directory").size(), 1);
    QVERIFY(log.contains("ERROR", "Unable to enter directory \"tano_brisola/5.1.x\""));

    log.clear();
    dialog.versionCombo()->setCurrentIndex(1);
    QVERIFY(log.contains("ERROR", "There is no template data for firmware version 5.1.x on camera type 0"));
    QCOMPARE(items(dialog.templateCombo()), QStringList({"Default", "tano_brisola 6.4.x"}));

    // The next firmware still lists its own templates.
    dialog.versionCombo()->setCurrentIndex(2);
    QCOMPARE(items(dialog.templateCombo()), QStringList({"Default", "tano_brisola 5.2.x"}));
}

void TestFileDialogs::okAndCancel()
{
    addFullTree();
    NewFileDialog dialog(m_catalogue.cameras());
    QSignalSpy accepted(&dialog, &NewFileDialog::dialogAccepted);
    dialog.show();
    dialog.buttonBox()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(accepted.count(), 1);
    // The main window closes it once the template opened.
    QVERIFY(dialog.isVisible());

    dialog.cameraCombo()->setCurrentIndex(1);
    dialog.versionCombo()->setCurrentIndex(2);
    dialog.buttonBox()->button(QDialogButtonBox::Cancel)->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(accepted.count(), 1);

    // Shown again, it keeps the last choices.
    dialog.show();
    QCOMPARE(dialog.currentCameraType(), TARVIK_CAMERA_DUROMA);
    QCOMPARE(dialog.currentFirmwareVersion(nullptr), QString("6.3.x"));
}

void TestFileDialogs::noDefaultFirmware()
{
    add("tano_brisola/5.1.x/Default.preset");
    CameraCatalogue catalogue;
    catalogue.addCamera(TARVIK_CAMERA_TANO_BRISOLA, "Tano/Brisola", "tano_brisola");
    catalogue.addCameraVersion(TARVIK_CAMERA_TANO_BRISOLA, 9, "5.1.x");
    catalogue.addCameraVersion(TARVIK_CAMERA_TANO_BRISOLA, 10, "5.2.x");
    LogCapture log;
    NewFileDialog dialog(catalogue.cameras());
    QVERIFY(log.contains("WARNING", "Unable to set the default firmware version to 6.4.x for camera type 0"));
    QCOMPARE(dialog.cameraCombo()->itemData(0, Qt::UserRole + 1).toInt(), 0);
    int presetVersion = 0;
    QCOMPARE(dialog.currentFirmwareVersion(&presetVersion), QString("5.1.x"));
    QCOMPARE(presetVersion, 9);
    QCOMPARE(dialog.currentTemplate(), QString("Default"));
}

void TestFileDialogs::emptyCatalogue()
{
    const CameraCatalogue::Cameras none;
    LogCapture log;
    NewFileDialog dialog(none);
    QVERIFY(log.contains("WARNING", "Unable to set the default camera type to 0"));
    QVERIFY(log.contains("ERROR", "There is no firmware version data for camera type 0"));

    log.clear();
    QCOMPARE(dialog.currentCameraType(), TARVIK_CAMERA_TANO_BRISOLA);
    QVERIFY(log.contains("ERROR", "Camera type data is invalid at index -1"));
    int presetVersion = -1;
    QVERIFY(dialog.currentFirmwareVersion(&presetVersion).isEmpty());
    QCOMPARE(presetVersion, 0);
    QVERIFY(log.contains("ERROR", "The preset version for index -1 is invalid."));
    QVERIFY(dialog.currentTemplate().isEmpty());

    OpenFileDialog open(none);
    log.clear();
    QCOMPARE(open.currentCameraType(), TARVIK_CAMERA_TANO_BRISOLA);
    QVERIFY(log.contains("ERROR", "Camera type data is invalid at index -1"));
}

void TestFileDialogs::openFileDialog()
{
    OpenFileDialog dialog(m_catalogue.cameras());
    QCOMPARE(dialog.questionLabel()->text(), QString("Select the type of camera for this preset:"));
    QVERIFY(dialog.questionLabel()->wordWrap());
    dialog.setFileName("Shoot Day 1.preset");
    QCOMPARE(dialog.questionLabel()->text(), QString("Select the type of camera for Shoot Day 1.preset:"));
    dialog.setFileName(QString());
    QCOMPARE(dialog.questionLabel()->text(), QString("Select the type of camera for this preset:"));

    QCOMPARE(items(dialog.cameraCombo()), QStringList({"Tano/Brisola", "DUROMA"}));
    QCOMPARE(dialog.currentCameraType(), TARVIK_CAMERA_TANO_BRISOLA);
    dialog.cameraCombo()->setCurrentIndex(1);
    QCOMPARE(dialog.currentCameraType(), TARVIK_CAMERA_DUROMA);

    QCOMPARE(dialog.windowTitle(), QString("Open File"));
    QCOMPARE(dialog.size(), QSize(320, 115));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(dialog.isModal());
    QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));

    dialog.open();
    dialog.buttonBox()->button(QDialogButtonBox::Cancel)->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    dialog.open();
    dialog.buttonBox()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    // The family last chosen stays chosen.
    QCOMPARE(dialog.currentCameraType(), TARVIK_CAMERA_DUROMA);
}

QTEST_MAIN(TestFileDialogs)
#include "tst_filedialogs.moc"
