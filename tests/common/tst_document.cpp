#include "app/QtUtil.h"
#include "document/DocumentWindow.h"
#include "document/PresetValue.h"
#include "storage/Database.h"

#include "FaultVfs.h"
#include "ScriptedPrompts.h"
#include "TestSupport.h"

#include <QCloseEvent>
#include <QDir>
#include <QMenu>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using TestSupport::readFile;

// A minimal editor on the shared protocol: shows the parameters table, writes
// each change as an insert or update with bound values.
class TestEditor : public DocumentWindow
{
public:
    QMap<QString, QString> shown;
    QString templatePath;
    int newDialogShown = 0;
    int newDialogAccepted = 0;
    int exits = 0;
    int initializations = 0;
    OpenResults::OpenResult prepareResult = OpenResults::Opened;
    int rejectVersion = -1;

    ScriptedPrompts *prompts = new ScriptedPrompts;

    TestEditor()
    {
        setPrompts(std::unique_ptr<Prompts>(prompts));
        createFileMenu();
        createHelpMenu();
    }

    // Text and enabled state of each File and Help item, separators as "-".
    QStringList menuState() const
    {
        QStringList state;
        for (QMenu *menu : {m_fileMenu, m_helpMenu})
            for (QAction *action : menu->actions())
                state << (action->isSeparator() ? QString("-") : action->text() + (action->isEnabled() ? "" : " (off)"));
        return state;
    }

    using DocumentWindow::openFile;
    using DocumentWindow::setChange;

protected:
    OpenResults::OpenResult prepareOpen(Database &, int version, const QString &, bool) override
    {
        return version == rejectVersion ? OpenResults::Failed : prepareResult;
    }
    void presentDocument(Database &db, bool) override
    {
        shown.clear();
        if (db.executeQuery("SELECT name, value FROM parameters"))
            for (int r = 0; r < db.rowCount(); ++r)
                shown[db.itemAt(r, 0)] = db.itemAt(r, 1);
    }
    bool writeChange(Database &db, const QString &name, const QString &value) override
    {
        const QVariant bound = PresetValue::bound(value);
        if (!db.executeQuery("SELECT name FROM parameters WHERE name = ?", {name}))
            return false;
        if (db.rowCount() > 0)
            return db.executeQuery("UPDATE parameters SET value = ? WHERE name = ?", {bound, name});
        return db.executeQuery("INSERT INTO parameters VALUES(?, ?)", {name, bound});
    }
    void initializeWindow() override { ++initializations; }
    void showNewFileDialog() override { ++newDialogShown; }
    QString newTemplatePath() const override { return templatePath; }
    void acceptNewFileDialog() override { ++newDialogAccepted; }
    QString startSentence() const override { return "Use the %1 to test."; }
    void exitApplication() override { ++exits; }
};

const char title[] = "VEK Test (Local Engineering Build)";

// The parameters of a preset as name=value lines.
QStringList parameters(const QString &path)
{
    Database db(path, true, 1);
    QStringList rows;
    if (db.isOpen() && db.executeQuery("SELECT name, value FROM parameters ORDER BY name"))
        for (int r = 0; r < db.rowCount(); ++r)
            rows << db.itemAt(r, 0) + "=" + db.itemAt(r, 1);
    return rows;
}

bool tableExists(const QString &path, const QString &table)
{
    Database db(path, true, 1);
    return db.isOpen() && db.executeQuery("SELECT name FROM sqlite_master WHERE name = ?", {table}) && db.rowCount() == 1;
}

QString presetSql(int version, const QString &extra = QString())
{
    return QStringLiteral("CREATE TABLE info (version INTEGER);\n"
                          "INSERT INTO info VALUES (%1);\n"
                          "CREATE TABLE parameters (name TEXT, value);\n"
                          "INSERT INTO parameters VALUES ('A', 1);\n"
                          "INSERT INTO parameters VALUES ('B', 'text');\n%2")
        .arg(version)
        .arg(extra);
}

} // namespace

class TestDocument : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void startDialog_data();
    void startDialog();
    void newDocumentAndFirstSave();
    void saveCancelledLeavesNewDocument();
    void invalidSaveNames_data();
    void invalidSaveNames();
    void saveAsOfOpenedDocumentKeepsSource();
    void saveWithoutChangesDropsBackupTables();
    void unsavedChangesPrompt_data();
    void unsavedChangesPrompt();
    void yesOnNewDocumentRunsSaveAs();
    void openRetriesAfterFailureAndCancel();
    void openExternally();
    void openExternallyAsksBeforeDiscarding();
    void newFromMissingTemplateFails();
    void closeEventRunsExit();
    void aboutAndInstructions();
    // Mended faults of the plain protocol.
    void saveAsOntoBoundFileWritesInPlace();
    void saveAsOntoTemplateIsRefused();
    void saveAsFailureKeepsEverything();
    void saveAsSourceVanished();
    void failedSaveRollsBackAndKeepsChanges();
    void diskFullAtEveryWrite_data();
    void diskFullAtEveryWrite();
    void valuesWithQuotesRoundTrip();
    void saveAsSourceWithUnexpectedEncryption_data();
    void saveAsSourceWithUnexpectedEncryption();

private:
    QTemporaryDir m_dir;
    QString m_template; // version 16, encrypted
    QString m_plain;    // version 5, plain
    QString path(const QString &name) const { return m_dir.filePath(name); }
};

void TestDocument::initTestCase()
{
    // Under the page codec, so injected faults hit the encrypted file operations.
    QVERIFY(FaultVfs::install());
    QVERIFY(m_dir.isValid());
    m_template = path("templates/Default.preset");
    QVERIFY(QDir().mkpath(path("templates")));
    QVERIFY(TestSupport::buildPreset(presetSql(16), m_template));
    m_plain = path("plain-source.preset");
    QVERIFY(TestSupport::buildPreset(presetSql(5, "CREATE TABLE info_backup (version);\n"
                                                  "CREATE TABLE parameters_backup (name, value);\n"),
                                     m_plain));
}

void TestDocument::init()
{
    for (const QString &name : QDir(m_dir.path()).entryList({"*.preset"}, QDir::Files))
        if (path(name) != m_plain)
            QFile::remove(path(name));
}

void TestDocument::startDialog_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<int>("newDialogs");
    QTest::addColumn<QStringList>("kinds");
    QTest::newRow("New") << int(Prompts::StartNew) << 1 << QStringList{"start"};
    QTest::newRow("Open") << int(Prompts::StartOpen) << 0 << QStringList{"start", "open"};
    QTest::newRow("Cancel") << int(Prompts::StartCancel) << 0 << QStringList{"start"};
}

void TestDocument::startDialog()
{
    QFETCH(int, choice);
    QFETCH(int, newDialogs);
    QFETCH(QStringList, kinds);
    TestEditor editor;
    editor.prompts->starts << Prompts::StartChoice(choice);
    editor.prompts->fileNames << QString(); // cancel the open dialog
    editor.initialStart();
    QCOMPARE(editor.prompts->kinds(), kinds);
    QCOMPARE(editor.prompts->asked.first().title, QString("Start"));
    QCOMPARE(editor.prompts->asked.first().text, QString("Use the VEK Test to test."));
    QCOMPARE(editor.newDialogShown, newDialogs);
    QVERIFY(!editor.isInitialized());
    QCOMPARE(editor.windowTitle(), QString(title));
    QCOMPARE(editor.menuState(), QStringList({"&New", "&Open", "Save &As... (off)", "&Save (off)", "-", "&Exit",
                                              "&About", "&Instructions"}));
}

void TestDocument::newDocumentAndFirstSave()
{
    const QByteArray templateBytes = readFile(m_template);
    TestEditor editor;
    editor.templatePath = m_template;
    editor.newFile();
    QCOMPARE(editor.newDialogAccepted, 1);
    QCOMPARE(editor.templateName(), m_template);
    QVERIFY(editor.fileName().isEmpty());
    QVERIFY(!editor.preset());
    QCOMPARE(editor.presetVersion(), 16);
    QCOMPARE(editor.initializations, 1);
    QVERIFY(!editor.menuState().join(',').contains("(off)"));
    QCOMPARE(editor.shown.value("B"), QString("text"));

    editor.setChange("A", "42");
    editor.setChange("C", "new");
    QCOMPARE(editor.windowTitle(), QString("*") + title);

    const QString target = path("First Save.preset");
    editor.prompts->fileNames << target;
    QVERIFY(editor.saveFile());
    QCOMPARE(editor.prompts->asked.last().kind, QString("save"));
    QCOMPARE(editor.prompts->asked.last().title, QString("Save"));
    QCOMPARE(editor.prompts->asked.last().filter, QString("Presets (*.preset)"));
    QCOMPARE(editor.fileName(), target);
    QVERIFY(editor.templateName().isEmpty());
    QVERIFY(editor.preset() && editor.preset()->isOpen());
    QVERIFY(editor.changes().isEmpty());
    QCOMPARE(editor.windowTitle(), target + " - " + title);
    QCOMPARE(editor.defaultDirectory(), m_dir.path());
    QCOMPARE(parameters(target), QStringList({"A=42", "B=text", "C=new"}));
    QCOMPARE(readFile(m_template), templateBytes);
    // The copy keeps the template's encryption: no SQLite magic text in the clear.
    QVERIFY(!readFile(target).startsWith("SQLite format 3"));
    QVERIFY(QDir(m_dir.path()).entryList({".*"}, QDir::Files | QDir::Hidden).isEmpty());
    QVERIFY(editor.prompts->unexpected.isEmpty());
    // Saved like any new file, not with a temporary file's private permissions.
    QVERIFY(TestSupport::writeFile(path("plain.txt"), "x"));
    QCOMPARE(QFile::permissions(target), QFile::permissions(path("plain.txt")));

    // A second Save writes in place without asking.
    editor.setChange("A", "7");
    QVERIFY(editor.saveFile());
    QCOMPARE(parameters(target), QStringList({"A=7", "B=text", "C=new"}));
    QCOMPARE(editor.prompts->kinds().count("save"), 1);
}

void TestDocument::saveCancelledLeavesNewDocument()
{
    TestEditor editor;
    editor.templatePath = m_template;
    editor.newFile();
    editor.setChange("A", "2");
    editor.prompts->fileNames << QString();
    QVERIFY(!editor.saveFile());
    QCOMPARE(editor.templateName(), m_template);
    QVERIFY(editor.fileName().isEmpty());
    QCOMPARE(editor.changes().value("A"), QString("2"));
    QCOMPARE(editor.windowTitle(), QString("*") + title);
}

void TestDocument::invalidSaveNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("no extension") << "Day1" << "Day1";
    QTest::newRow("dot in name") << "v1.2.preset" << "v1.2";
    QTest::newRow("punctuation") << "it's.preset" << "it's";
    QTest::newRow("only blanks") << "   .preset" << "   ";
    QTest::newRow("upper-case extension") << "Day.PRESET" << "Day";
}

void TestDocument::invalidSaveNames()
{
    QFETCH(QString, name);
    QFETCH(QString, firstLine);
    TestEditor editor;
    editor.templatePath = m_template;
    editor.newFile();
    editor.setChange("A", "3");
    editor.prompts->fileNames << path(name) << QString();
    editor.prompts->buttons << QMessageBox::Ok;
    QVERIFY(!editor.saveFileAs());
    QCOMPARE(editor.prompts->kinds(), QStringList({"save", "message", "save"}));
    const QString text = editor.prompts->texts("message").first();
    QCOMPARE(text.section('\n', 0, 0), firstLine);
    QVERIFY(text.endsWith("It may only contain alphanumeric characters, spaces, underscores, and hyphens."));
    QCOMPARE(editor.prompts->asked[1].title, QString("Error"));
    QVERIFY(!QFile::exists(path(name)));
    QCOMPARE(editor.changes().size(), 1);
}

void TestDocument::saveAsOfOpenedDocumentKeepsSource()
{
    const QString source = path("source.preset");
    QVERIFY(QFile::copy(m_plain, source));
    const QByteArray sourceBytes = readFile(source);
    TestEditor editor;
    QCOMPARE(editor.openFile(source, false), OpenResults::Opened);
    QCOMPARE(editor.presetVersion(), 5);
    editor.setChange("B", "changed");
    const QString target = path("copy.preset");
    editor.prompts->fileNames << target;
    QVERIFY(editor.saveFileAs());
    QCOMPARE(readFile(source), sourceBytes);
    QCOMPARE(parameters(target), QStringList({"A=1", "B=changed"}));
    QCOMPARE(editor.fileName(), target);
    QCOMPARE(editor.windowTitle(), target + " - " + title);
    // A plain version-5 preset stays plain.
    QVERIFY(readFile(target).startsWith("SQLite format 3"));
}

void TestDocument::saveWithoutChangesDropsBackupTables()
{
    const QString source = path("backup.preset");
    QVERIFY(QFile::copy(m_plain, source));
    QVERIFY(tableExists(source, "info_backup"));
    TestEditor editor;
    QCOMPARE(editor.openFile(source, false), OpenResults::Opened);
    QVERIFY(editor.saveFile());
    QVERIFY(!tableExists(source, "info_backup"));
    QVERIFY(!tableExists(source, "parameters_backup"));
    QCOMPARE(parameters(source), QStringList({"A=1", "B=text"}));
}

void TestDocument::unsavedChangesPrompt_data()
{
    QTest::addColumn<QString>("flow");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QString>("question");
    const QString newQ = "Do you wish to save your changes before creating a new file?";
    const QString openQ = "Do you wish to save your changes before opening a new file?";
    const QString exitQ = "Do you wish to save your changes before exiting?";
    for (const auto &[flow, question] : {std::pair{QString("new"), newQ}, {QString("open"), openQ}, {QString("exit"), exitQ}}) {
        QTest::addRow("%s yes", qPrintable(flow)) << flow << int(QMessageBox::Yes) << true << true << question;
        QTest::addRow("%s no", qPrintable(flow)) << flow << int(QMessageBox::No) << true << false << question;
        QTest::addRow("%s cancel", qPrintable(flow)) << flow << int(QMessageBox::Cancel) << false << false << question;
    }
}

void TestDocument::unsavedChangesPrompt()
{
    QFETCH(QString, flow);
    QFETCH(int, answer);
    QFETCH(bool, goesOn);
    QFETCH(bool, saved);
    QFETCH(QString, question);
    const QString bound = path("bound.preset");
    QVERIFY(QFile::copy(m_plain, bound));
    TestEditor editor;
    QCOMPARE(editor.openFile(bound, false), OpenResults::Opened);
    editor.setChange("A", "99");
    editor.prompts->buttons << answer;
    editor.prompts->fileNames << QString(); // cancels the Open dialog if it comes

    if (flow == "new")
        editor.tryNewFile();
    else if (flow == "open")
        editor.showOpenFileDialog();
    else
        editor.quit();

    const ScriptedPrompts::Asked &confirm = editor.prompts->asked.first();
    QCOMPARE(confirm.title, QString("Confirm"));
    QCOMPARE(confirm.buttons, int(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel));
    QCOMPARE(confirm.text, "There are unsaved changes to bound.preset.\n\n" + question);
    QCOMPARE(parameters(bound).first(), saved ? QString("A=99") : QString("A=1"));
    QCOMPARE(editor.changes().isEmpty(), saved);
    const int wentOn = flow == "new" ? editor.newDialogShown : flow == "exit" ? editor.exits
                                                                             : int(editor.prompts->kinds().contains("open"));
    QCOMPARE(wentOn, goesOn ? 1 : 0);
}

void TestDocument::yesOnNewDocumentRunsSaveAs()
{
    TestEditor editor;
    editor.templatePath = m_template;
    editor.newFile();
    editor.setChange("A", "5");
    editor.prompts->buttons << QMessageBox::Yes;
    editor.prompts->fileNames << QString(); // cancel Save As
    editor.quit();
    QCOMPARE(editor.prompts->kinds(), QStringList({"message", "save"}));
    QVERIFY(editor.prompts->asked.first().text.startsWith("There are unsaved changes to your file."));
    QCOMPARE(editor.exits, 0);
    QCOMPARE(editor.changes().size(), 1);
}

void TestDocument::openRetriesAfterFailureAndCancel()
{
    const QString good = path("good.preset");
    QVERIFY(QFile::copy(m_plain, good));
    const QString text = path("text.preset");
    QFile f(text);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("not a database\n");
    f.close();

    TestEditor editor;
    QCOMPARE(editor.openFile(good, false), OpenResults::Opened);
    editor.setChange("A", "8");
    editor.prompts->buttons << QMessageBox::No << QMessageBox::Ok;
    editor.prompts->fileNames << text << path("missing.preset") << QString();
    LogCapture log;
    editor.prepareResult = OpenResults::Opened;
    editor.showOpenFileDialog();
    QCOMPARE(editor.prompts->kinds(), QStringList({"message", "open", "message", "open", "message", "open"}));
    QVERIFY(editor.prompts->unexpected.contains("message: " + editor.prompts->texts("message").last()));
    QVERIFY(log.contains("ERROR", QString("An error occurred while trying to open file [%1].").arg(text)));
    QVERIFY(editor.prompts->texts("message")[1].startsWith("An error occurred while opening the file."));
    // The previous document is intact, its pending change too.
    QCOMPARE(editor.fileName(), good);
    QCOMPARE(editor.changes().value("A"), QString("8"));

    // A cancelled choice inside the open asks for another file without an error.
    TestEditor cancelling;
    cancelling.prepareResult = OpenResults::Cancelled;
    cancelling.prompts->fileNames << good << QString();
    cancelling.showOpenFileDialog();
    QCOMPARE(cancelling.prompts->kinds(), QStringList({"open", "open"}));
    QVERIFY(cancelling.fileName().isEmpty());
    QCOMPARE(cancelling.prompts->asked.first().title, QString("Open"));
}

void TestDocument::openExternally()
{
    const QString good = path("external.preset");
    QVERIFY(QFile::copy(m_plain, good));
    TestEditor editor;
    editor.openFileExternally(good);
    QCOMPARE(editor.prompts->dismissed, 1);
    QCOMPARE(editor.fileName(), good);
    QVERIFY(editor.prompts->asked.isEmpty());

    LogCapture log;
    editor.rejectVersion = 5;
    editor.prompts->buttons << QMessageBox::Ok;
    editor.openFileExternally(path("external.preset"));
    QVERIFY(log.contains("ERROR", QString("An error occurred while trying to open file [%1] externally.").arg(good)));
    QCOMPARE(editor.prompts->asked.last().title, QString("Error"));

    TestEditor cancelling;
    cancelling.prepareResult = OpenResults::Cancelled;
    cancelling.prompts->buttons << QMessageBox::Ok;
    cancelling.openFileExternally(good);
    QCOMPARE(cancelling.prompts->kinds(), QStringList({"message"}));
    QVERIFY(cancelling.fileName().isEmpty());
}

void TestDocument::openExternallyAsksBeforeDiscarding()
{
    const QString first = path("first.preset");
    const QString second = path("second.preset");
    QVERIFY(QFile::copy(m_plain, first));
    QVERIFY(QFile::copy(m_plain, second));
    TestEditor editor;
    QCOMPARE(editor.openFile(first, false), OpenResults::Opened);
    editor.setChange("A", "11");
    editor.prompts->buttons << QMessageBox::Cancel;
    editor.openFileExternally(second);
    QCOMPARE(editor.fileName(), first);
    QCOMPARE(editor.changes().value("A"), QString("11"));
    editor.prompts->buttons << QMessageBox::Yes;
    editor.openFileExternally(second);
    QCOMPARE(editor.fileName(), second);
    QCOMPARE(parameters(first).first(), QString("A=11"));
}

void TestDocument::newFromMissingTemplateFails()
{
    TestEditor editor;
    editor.templatePath = path("templates/Missing.preset");
    editor.prompts->buttons << QMessageBox::Ok;
    LogCapture log;
    editor.newFile();
    QVERIFY(log.contains("ERROR", "An error occurred while trying to create a new file from [" + editor.templatePath + "]."));
    QCOMPARE(editor.newDialogAccepted, 0);
    QVERIFY(editor.templateName().isEmpty());
    QVERIFY(!editor.isInitialized());
    QVERIFY(editor.prompts->texts("message").first().contains("Please download the latest version of the VEK Test at"));
}

void TestDocument::closeEventRunsExit()
{
    TestEditor editor;
    QCloseEvent event;
    QCoreApplication::sendEvent(&editor, &event);
    QVERIFY(!event.isAccepted());
    QCOMPARE(editor.exits, 1);

    editor.templatePath = m_template;
    editor.newFile();
    editor.setChange("A", "1");
    editor.prompts->buttons << QMessageBox::Cancel;
    QCloseEvent cancelled;
    QCoreApplication::sendEvent(&editor, &cancelled);
    QCOMPARE(editor.exits, 1);
}

void TestDocument::aboutAndInstructions()
{
    TestEditor editor;
    editor.prompts->buttons << QMessageBox::Ok << QMessageBox::Ok;
    editor.showAboutDialog();
    editor.showInstructionsDialog();
    QCOMPARE(editor.prompts->asked[0].title, QString("About"));
    QCOMPARE(editor.prompts->asked[0].text.section('\n', 1), QString("\nVersion 0.0.0"));
    QCOMPARE(editor.prompts->asked[1].title, QString("Instructions"));
    const QString text = editor.instructions();
    QVERIFY(text.startsWith("In order to use this preset file in a VEK camera:\n\n1) Save this file"));
    QVERIFY(text.endsWith("transfer it onto the camera.\n\n4) You can choose to apply it right away or at another time."));
    QVERIFY(!text.contains('\r'));
    QCOMPARE(editor.prompts->asked[1].text, text);
}

void TestDocument::saveAsOntoBoundFileWritesInPlace()
{
    const QString bound = path("inplace.preset");
    QVERIFY(QFile::copy(m_plain, bound));
    TestEditor editor;
    QCOMPARE(editor.openFile(bound, false), OpenResults::Opened);
    editor.setChange("A", "12");
    // The same file, reached through another spelling of its path.
    editor.prompts->fileNames << m_dir.path() + "/./inplace.preset";
    QVERIFY(editor.saveFileAs());
    QCOMPARE(parameters(bound), QStringList({"A=12", "B=text"}));
    QCOMPARE(editor.fileName(), bound);
    QVERIFY(editor.changes().isEmpty());
}

void TestDocument::saveAsOntoTemplateIsRefused()
{
    const QByteArray templateBytes = readFile(m_template);
    TestEditor editor;
    editor.templatePath = m_template;
    editor.newFile();
    editor.setChange("A", "13");
    editor.prompts->fileNames << m_template << QString();
    editor.prompts->buttons << QMessageBox::Ok;
    QVERIFY(!editor.saveFileAs());
    QCOMPARE(editor.prompts->kinds(), QStringList({"save", "message", "save"}));
    QCOMPARE(readFile(m_template), templateBytes);
    QCOMPARE(editor.templateName(), m_template);
    QCOMPARE(editor.changes().value("A"), QString("13"));
}

void TestDocument::saveAsFailureKeepsEverything()
{
    const QString bound = path("stay.preset");
    QVERIFY(QFile::copy(m_plain, bound));
    TestEditor editor;
    QCOMPARE(editor.openFile(bound, false), OpenResults::Opened);
    editor.setChange("A", "14");
    editor.prompts->fileNames << path("no-such-folder/x.preset");
    editor.prompts->buttons << QMessageBox::Ok;
    LogCapture log;
    QVERIFY(!editor.saveFileAs());
    QCOMPARE(log.messages("ERROR").size(), 1);
    QCOMPARE(editor.prompts->asked.last().title, QString("Error"));
    QCOMPARE(editor.fileName(), bound);
    QVERIFY(editor.preset() && editor.preset()->isOpen());
    QCOMPARE(editor.changes().value("A"), QString("14"));
    QCOMPARE(editor.windowTitle(), "*" + bound + " - " + title);
    // The bound file still works.
    QVERIFY(editor.saveFile());
    QCOMPARE(parameters(bound).first(), QString("A=14"));
}

void TestDocument::saveAsSourceVanished()
{
    const QString templ = path("vanishing.preset");
    QVERIFY(QFile::copy(m_template, templ));
    TestEditor editor;
    editor.templatePath = templ;
    editor.newFile();
    editor.setChange("A", "15");
    QVERIFY(QFile::remove(templ));
    editor.prompts->fileNames << path("target.preset");
    editor.prompts->buttons << QMessageBox::Ok;
    LogCapture log;
    QVERIFY(!editor.saveFileAs());
    QVERIFY(log.contains("ERROR", "An error occurred while trying to do a Save As. The file [" + templ + "] does not exist."));
    QVERIFY(editor.prompts->texts("message").first().startsWith("An error occurred. Try saving again"));
    QVERIFY(!QFile::exists(path("target.preset")));
    QCOMPARE(editor.changes().size(), 1);
}

void TestDocument::failedSaveRollsBackAndKeepsChanges()
{
    // A trigger makes the insert of one name fail, as a real statement failure would.
    const QString bound = path("trigger.preset");
    QVERIFY(TestSupport::buildPreset(presetSql(16, "CREATE TRIGGER no_bad BEFORE INSERT ON parameters "
                                                   "WHEN NEW.name = 'BAD' BEGIN SELECT RAISE(ABORT, 'refused'); END;\n"
                                                   "CREATE TABLE info_backup (version);\n"),
                                     bound));
    TestEditor editor;
    QCOMPARE(editor.openFile(bound, false), OpenResults::Opened);
    editor.setChange("A", "16");
    editor.setChange("BAD", "x");
    editor.prompts->buttons << QMessageBox::Ok << QMessageBox::Yes << QMessageBox::Ok;
    QVERIFY(!editor.saveFile());
    QCOMPARE(editor.prompts->asked.last().title, QString("Error"));
    QCOMPARE(parameters(bound), QStringList({"A=1", "B=text"}));
    QVERIFY(tableExists(bound, "info_backup"));
    QCOMPARE(editor.changes().size(), 2);
    QVERIFY(editor.windowTitle().startsWith("*"));

    // Yes in the Exit prompt with a failing save does not exit.
    editor.quit();
    QCOMPARE(editor.exits, 0);
    QCOMPARE(editor.changes().size(), 2);
}

void TestDocument::diskFullAtEveryWrite_data()
{
    QTest::addColumn<bool>("saveAs");
    QTest::newRow("Save") << false;
    QTest::newRow("Save As") << true;
}

void TestDocument::diskFullAtEveryWrite()
{
    QFETCH(bool, saveAs);
    const QString bound = path("full.preset");
    const QString target = path("full-copy.preset");
    const QStringList saved = {"A=18", "B=text", "Z=new row"};

    // Count the writes of a save that succeeds, then fail each of them in turn.
    int writes = 0;
    for (int failAt = 0; failAt == 0 || failAt <= writes; ++failAt) {
        QFile::remove(bound);
        QFile::remove(target);
        QVERIFY(QFile::copy(m_template, bound));
        const QStringList before = parameters(bound);
        bool reported = false;
        bool injected = false;
        {
            TestEditor editor;
            QCOMPARE(editor.openFile(bound, false), OpenResults::Opened);
            editor.setChange("A", "18");
            editor.setChange("Z", "new row");
            editor.prompts->buttons << QMessageBox::Ok;
            editor.prompts->fileNames << target << target;
            FaultVfs::Plan plan;
            plan.diskFullAt = failAt;
            FaultVfs::setPlan(plan);
            reported = saveAs ? editor.saveFileAs() : editor.saveFile();
            injected = FaultVfs::injected();
            if (failAt == 0)
                writes = FaultVfs::writes();
            FaultVfs::setPlan({});
            QVERIFY(writes > 0);
            if (reported) {
                QVERIFY2(!injected, qPrintable(QString("write %1 failed, yet the save succeeded").arg(failAt)));
                QVERIFY(editor.changes().isEmpty());
                continue;
            }
            QVERIFY(injected);
            QCOMPARE(editor.prompts->asked.last().title, QString("Error"));
            QCOMPARE(editor.changes().size(), 2);
            QCOMPARE(editor.fileName(), bound);
            QVERIFY(!QFile::exists(target));
            const QStringList leftovers = QDir(m_dir.path()).entryList({".*"}, QDir::Files | QDir::Hidden);
            QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(", ")));
            // Once there is room again, saving again writes everything.
            QVERIFY(saveAs ? editor.saveFileAs() : editor.saveFile());
            QCOMPARE(parameters(saveAs ? target : bound), saved);
        }
        if (saveAs)
            QCOMPARE(parameters(bound), before);
    }
    QCOMPARE(parameters(saveAs ? target : bound), saved);
}

void TestDocument::valuesWithQuotesRoundTrip()
{
    TestEditor editor;
    editor.templatePath = m_template;
    editor.newFile();
    const QString tricky = "it's a \"quote\"'); DROP TABLE parameters; --";
    editor.setChange("Q", tricky);
    editor.setChange("N", "-12");
    editor.prompts->fileNames << path("quotes.preset");
    QVERIFY(editor.saveFile());
    QCOMPARE(parameters(path("quotes.preset")), QStringList({"A=1", "B=text", "N=-12", "Q=" + tricky}));
    Database db(path("quotes.preset"), true, 1);
    QVERIFY(db.executeQuery("SELECT typeof(value) FROM parameters WHERE name = 'N'"));
    QCOMPARE(db.itemAt(0, 0), QString("integer"));
}

void TestDocument::saveAsSourceWithUnexpectedEncryption_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("encrypted");
    QTest::newRow("plain file of version 16") << 16 << false;
    QTest::newRow("encrypted file of version 5") << 5 << true;
}

void TestDocument::saveAsSourceWithUnexpectedEncryption()
{
    QFETCH(int, version);
    QFETCH(bool, encrypted);
    const QString source = path("odd.preset");
    {
        Database db(source, encrypted, 6);
        QVERIFY(db.isOpen());
        QVERIFY(db.executeQueries(presetSql(version)));
    }
    QCOMPARE(readFile(source).startsWith("SQLite format 3"), !encrypted);
    TestEditor editor;
    QCOMPARE(editor.openFile(source, false), OpenResults::Opened);
    editor.setChange("A", "17");
    editor.prompts->fileNames << path("odd-copy.preset");
    QVERIFY(editor.saveFileAs());
    QCOMPARE(parameters(path("odd-copy.preset")), QStringList({"A=17", "B=text"}));
    QVERIFY(editor.changes().isEmpty());
}

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
