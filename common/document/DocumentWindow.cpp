#include "document/DocumentWindow.h"

#include "app/BuildInfo.h"
#include "app/Logger.h"
#include "app/QtUtil.h"
#include "storage/Database.h"
#include "storage/OutputFile.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTextStream>

namespace {

const char presetFilter[] = "Presets (*.preset)";

QString applicationName()
{
    return QString::fromUtf8(BuildInfo::applicationName);
}

void logError(const QString &message)
{
    Logger::logError(message, QString());
}

} // namespace

DocumentWindow::DocumentWindow(QWidget *parent) : AppWindow(parent), m_messageBox(new QMessageBox(this))
{
    m_prompts = std::make_unique<DialogPrompts>(this, m_messageBox);
    m_defaultDirectory = QStringLiteral("%1/Desktop").arg(QDir::homePath());
    m_invalidFileNameMessage = tr("%1\n\nThe file name is invalid. It may only contain alphanumeric characters, "
                                  "spaces, underscores, and hyphens.");
    m_openErrorMessage = tr("An error occurred while opening the file. Either some data is missing or the file "
                            "doesn't exist. Please download the latest version of the %1 at "
                            "https://www.vek.example/software.")
                             .arg(applicationName());

    QFile file(QStringLiteral(":/misc/instructions"));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&file);
        while (!in.atEnd()) {
            const QString line = in.readLine();
            m_instructions += line.isEmpty() ? QStringLiteral("\n\n") : tr("%1").arg(line);
        }
    } else {
        logError(QStringLiteral("Unable to open instructions file."));
    }
    setWindowIcon(QIcon(QStringLiteral(":/images/vek")));
    // Editors with a title extra refresh the title once they are set up.
    updateWindowTitle();
}

DocumentWindow::~DocumentWindow()
{
    destroyPreset();
}

void DocumentWindow::setPrompts(std::unique_ptr<Prompts> prompts)
{
    m_prompts = std::move(prompts);
}

int DocumentWindow::showMessage(MessageTypes::MessageType type, const QString &text)
{
    Prompts::Message message;
    message.text = text;
    switch (type) {
    case MessageTypes::Error:
        message.title = tr("Error");
        message.icon = QMessageBox::Warning;
        message.buttons = QMessageBox::Ok;
        break;
    case MessageTypes::Confirm:
        message.title = tr("Confirm");
        message.icon = QMessageBox::Question;
        message.buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    case MessageTypes::Information:
        message.title = tr("Information");
        message.icon = QMessageBox::Information;
        message.buttons = QMessageBox::Ok;
        break;
    }
    return m_prompts->message(message);
}

void DocumentWindow::openFileExternally(const QString &fileName)
{
    m_prompts->dismiss();
    // A file handed over by the desktop must not silently discard pending edits.
    if (!maySkipOrSaveChanges(Flow::Open))
        return;
    if (openFile(fileName, false) != OpenResults::Opened) {
        logError(QStringLiteral("An error occurred while trying to open file [%1] externally.").arg(fileName));
        showMessage(MessageTypes::Error, m_openErrorMessage);
    }
}

void DocumentWindow::initialStart()
{
    showStartDialog();
}

void DocumentWindow::showStartDialog()
{
    switch (m_prompts->start(tr("Start"), tr(qPrintable(startSentence())).arg(applicationName()))) {
    case Prompts::StartNew:
        showNewFileDialog();
        break;
    case Prompts::StartOpen:
        showOpenFileDialog();
        break;
    case Prompts::StartCancel:
        break;
    }
}

void DocumentWindow::tryNewFile()
{
    if (maySkipOrSaveChanges(Flow::New))
        showNewFileDialog();
}

void DocumentWindow::newFile()
{
    const QString path = newTemplatePath();
    if (openFile(path, true) == OpenResults::Opened) {
        m_templateName = path;
        acceptNewFileDialog();
        return;
    }
    logError(QStringLiteral("An error occurred while trying to create a new file from [%1].").arg(path));
    showMessage(MessageTypes::Error, m_openErrorMessage);
}

void DocumentWindow::showOpenFileDialog()
{
    if (!maySkipOrSaveChanges(Flow::Open))
        return;
    for (;;) {
        const QString path = m_prompts->openFileName(tr("Open"), m_defaultDirectory, QLatin1String(presetFilter));
        if (path.isEmpty())
            return;
        m_defaultDirectory = QtUtil::pathFromFile(path);
        switch (openFile(path, false)) {
        case OpenResults::Opened:
            return;
        case OpenResults::Cancelled:
            continue;
        case OpenResults::Failed:
            logError(QStringLiteral("An error occurred while trying to open file [%1].").arg(path));
            showMessage(MessageTypes::Error, m_openErrorMessage);
            continue;
        }
    }
}

OpenResults::OpenResult DocumentWindow::openFile(const QString &fileName, bool isTemplate)
{
    if (!QtUtil::fileExists(fileName))
        return OpenResults::Failed;
    // Templates are only read; they may lie in a read-only installation.
    auto db = std::make_unique<Database>(fileName, true, isTemplate ? 1 : 2);
    if (!db->isOpen() || !db->executeQuery(QStringLiteral("SELECT version FROM info")))
        return OpenResults::Failed;
    const int version = db->rowCount() > 0 ? db->itemAt(0, 0).toInt() : 0;

    const OpenResults::OpenResult prepared = prepareOpen(*db, version, fileName, isTemplate);
    if (prepared != OpenResults::Opened)
        return prepared;

    m_presetVersion = version;
    destroyPreset();
    if (initializesBeforePresenting())
        tryInitializing();
    presentDocument(*db, isTemplate);
    if (isTemplate) {
        m_fileName.clear();
        db.reset();
    } else {
        m_fileName = fileName;
        m_preset = db.release();
    }
    tryInitializing();
    m_changes.clear();
    updateWindowTitle();
    resetTabTitles();
    documentOpened();
    return OpenResults::Opened;
}

bool DocumentWindow::saveFile()
{
    if (m_fileName.isEmpty())
        return saveFileAs();
    return saveData();
}

bool DocumentWindow::saveFileAs()
{
    const QString internalError =
        tr("An error occurred. Try saving again and if the issue persists, please restart the application.");
    for (;;) {
        const QString path = m_prompts->saveFileName(tr("Save"), m_defaultDirectory, QLatin1String(presetFilter));
        if (path.isEmpty())
            return false;
        m_defaultDirectory = QtUtil::pathFromFile(path);
        if (!QtUtil::filenameIsValid(path)) {
            showMessage(MessageTypes::Error, m_invalidFileNameMessage.arg(QtUtil::baseFilename(path, false)));
            continue;
        }

        if (m_fileName.isEmpty() == m_templateName.isEmpty()) {
            logError(m_fileName.isEmpty()
                         ? QStringLiteral("An error occurred while trying to do a Save As. m_fileName and "
                                          "m_templateName are both empty.")
                         : QStringLiteral("An error occurred while trying to do a Save As. m_fileName and %1 are "
                                          "both not empty.")
                               .arg(templateMemberName()));
            showMessage(MessageTypes::Error, internalError);
            return false;
        }
        const QString source = m_fileName.isEmpty() ? m_templateName : m_fileName;
        if (!QtUtil::fileExists(source)) {
            logError(QStringLiteral("An error occurred while trying to do a Save As. The file [%1] does not exist.")
                         .arg(source));
            showMessage(MessageTypes::Error, internalError);
            return false;
        }

        // Copying a file onto itself would destroy it.
        if (QtUtil::isSameFile(path, source)) {
            if (source == m_fileName)
                return saveData();
            showMessage(MessageTypes::Error,
                        tr("%1\n\nThis is the template of the new document and cannot be overwritten. Please "
                           "choose another name.")
                            .arg(QtUtil::baseFilename(path, true)));
            continue;
        }
        return saveAs(path);
    }
}

bool DocumentWindow::saveAs(const QString &path)
{
    const QString source = m_fileName.isEmpty() ? m_templateName : m_fileName;
    auto fail = [&](const QString &logLine) {
        logError(logLine);
        showMessage(MessageTypes::Error,
                    tr("%1\n\nThe file could not be saved. Check that the folder can be written to and that there "
                       "is enough free space, then try again. Your changes have not been lost.")
                        .arg(QtUtil::baseFilename(path, true)));
        return false;
    };

    // The copy is completed and written beside the target, then renamed into
    // place, so the target is never left half-written. A failure discards it.
    OutputFile output(path, true);
    QString error;
    if (!output.prepare(&error))
        return fail(QStringLiteral("Unable to save [%1]: %2").arg(path, error));
    const QString copyPath = output.temporaryPath();
    if (!QtUtil::copyFile(copyPath, source))
        return fail(QStringLiteral("Unable to copy [%1] to [%2].").arg(source, copyPath));
    {
        // The key table finds the copy's encryption, whatever its version says.
        Database copy(copyPath, true, 2);
        if (!copy.isOpen())
            return fail(QStringLiteral("Unable to open the copy [%1].").arg(copyPath));
        if (!writeChanges(copy))
            return fail(QStringLiteral("Unable to write the changes into [%1].").arg(copyPath));
    }
    if (!output.commit(&error))
        return fail(QStringLiteral("Unable to save [%1]: %2").arg(path, error));

    auto bound = std::make_unique<Database>(path, true, 2);
    if (!bound->isOpen())
        return fail(QStringLiteral("Unable to open the saved file [%1].").arg(path));
    destroyPreset();
    m_fileName = path;
    m_preset = bound.release();
    m_changes.clear();
    resetTabTitles();
    updateWindowTitle();
    return true;
}

bool DocumentWindow::saveData()
{
    if (!m_preset) {
        logError(QStringLiteral("m_preset is null. Unable to save data."));
        reportSaveError();
        return false;
    }
    if (!writeChanges(*m_preset)) {
        logError(QStringLiteral("Unable to save the changes to [%1].").arg(m_fileName));
        reportSaveError();
        return false;
    }
    m_changes.clear();
    resetTabTitles();
    updateWindowTitle();
    return true;
}

bool DocumentWindow::writeChanges(Database &db)
{
    // One transaction: either every change, the backup-table drop and the
    // editor's after-save step land, or none of them.
    if (!db.executeQueries(QStringLiteral("BEGIN IMMEDIATE TRANSACTION;")))
        return false;
    bool ok = true;
    for (auto it = m_changes.cbegin(); ok && it != m_changes.cend(); ++it)
        ok = writeChange(db, it.key(), it.value());
    ok = ok
         && db.executeQueries(
             QStringLiteral("DROP TABLE IF EXISTS info_backup; DROP TABLE IF EXISTS parameters_backup;"))
         && afterSave(db) && db.executeQueries(QStringLiteral("COMMIT;"));
    if (!ok)
        db.executeQueries(QStringLiteral("ROLLBACK;"));
    return ok;
}

void DocumentWindow::reportSaveError()
{
    showMessage(MessageTypes::Error,
                tr("%1\n\nThe changes could not be saved; they are still pending. Check that the file can be "
                   "written to and that there is enough free space, then save again.")
                    .arg(m_fileName.isEmpty() ? tr("your file") : QtUtil::baseFilename(m_fileName, true)));
}

void DocumentWindow::destroyPreset()
{
    delete m_preset;
    m_preset = nullptr;
    m_templateName.clear();
}

bool DocumentWindow::maySkipOrSaveChanges(Flow flow)
{
    if (!unsavedChanges())
        return true;
    QString sentence;
    switch (flow) {
    case Flow::New:
        sentence = tr("There are unsaved changes to %1.\n\nDo you wish to save your changes before creating a new "
                      "file?");
        break;
    case Flow::Open:
        sentence = tr("There are unsaved changes to %1.\n\nDo you wish to save your changes before opening a new "
                      "file?");
        break;
    case Flow::Exit:
        sentence = tr("There are unsaved changes to %1.\n\nDo you wish to save your changes before exiting?");
        break;
    }
    const QString name = m_fileName.isEmpty() ? tr("your file") : tr("%1").arg(QtUtil::baseFilename(m_fileName, true));
    switch (showMessage(MessageTypes::Confirm, sentence.arg(name))) {
    case QMessageBox::Yes:
        return saveFile();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void DocumentWindow::quit()
{
    if (maySkipOrSaveChanges(Flow::Exit))
        exitApplication();
}

void DocumentWindow::exitApplication()
{
    QCoreApplication::quit();
}

void DocumentWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
    quit();
}

QMenu *DocumentWindow::createFileMenu()
{
    m_fileMenu = menuBar()->addMenu(tr("&File"));
    m_fileMenu->addAction(tr("&New"), QKeySequence::New, this, &DocumentWindow::tryNewFile);
    m_fileMenu->addAction(tr("&Open"), QKeySequence::Open, this, &DocumentWindow::showOpenFileDialog);
    // Nothing to save until the first document is open.
    m_fileMenu->addAction(tr("Save &As..."), QKeySequence::SaveAs, this, &DocumentWindow::saveFileAs)->setEnabled(false);
    m_fileMenu->addAction(tr("&Save"), QKeySequence::Save, this, &DocumentWindow::saveFile)->setEnabled(false);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(tr("&Exit"), QKeySequence::Quit, this, &DocumentWindow::quit);
    return m_fileMenu;
}

QMenu *DocumentWindow::createHelpMenu()
{
    m_helpMenu = menuBar()->addMenu(tr("&Help"));
    m_helpMenu->addAction(tr("&About"), this, &DocumentWindow::showAboutDialog);
    m_helpMenu->addAction(tr("&Instructions"), this, &DocumentWindow::showInstructionsDialog);
    return m_helpMenu;
}

void DocumentWindow::tryInitializing()
{
    if (m_initialized)
        return;
    if (m_fileMenu)
        for (QAction *action : m_fileMenu->actions())
            action->setEnabled(true);
    initializeWindow();
    m_initialized = true;
}

void DocumentWindow::setChange(const QString &name, const QString &value)
{
    m_changes[name] = value;
    updateWindowTitle();
}

void DocumentWindow::updateWindowTitle()
{
    QString suffix;
    if (!BuildInfo::isReleaseBuild())
        suffix = BuildInfo::buildNumber[0] == '\0'
                     ? QStringLiteral(" (Local Engineering Build)")
                     : QStringLiteral(" (Engineering Build %1)").arg(QLatin1String(BuildInfo::buildNumber));
    const QString pathPart = m_fileName.isEmpty() ? QString() : QStringLiteral("%1 - ").arg(m_fileName);
    setWindowTitle(tr("%1%2%3%4%5").arg(unsavedChanges() ? QStringLiteral("*") : QString(), pathPart,
                                         applicationName(), suffix, titleExtra()));
}

void DocumentWindow::showAboutDialog()
{
    Prompts::Message message;
    message.title = tr("About");
    message.iconPixmap = QPixmap(QStringLiteral(":/images/vek"));
    message.buttons = QMessageBox::Ok;
    const QString version = BuildInfo::isReleaseBuild() ? QString::fromUtf8(BuildInfo::versionText)
                                                        : QStringLiteral("0.0.0");
    message.text = tr("Made by VEK\n\nVersion %1").arg(version);
    m_prompts->message(message);
}

void DocumentWindow::showInstructionsDialog()
{
    Prompts::Message message;
    message.title = tr("Instructions");
    message.icon = QMessageBox::Information;
    message.buttons = QMessageBox::Ok;
    message.text = m_instructions;
    m_prompts->message(message);
}
