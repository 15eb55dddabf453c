#include "app/CameraCatalogue.h"
#include "app/QtUtil.h"
#include "storage/Database.h"

#include "TestSupport.h"

#include <QtTest>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <vector>

Q_DECLARE_METATYPE(tarvik_camera_t)

namespace {

// The key codes every module panel shows, with each event as the data sets name it
// after the module's prefix. Monitor and Eyepiece are built twice, for the body module
// and for the rear one, so their keys carry both codes.
struct PanelKey {
    int code;
    int rearCode; // 0: the panel has no rear variant
    const char *event;
    int since = 0; // first preset version whose panel shows the key
};

struct Panel {
    const char *name;
    int family; // -1: both families
    int since;
    bool ownNames; // the events are named without the module's prefix
    std::vector<PanelKey> keys;
};

const std::vector<PanelKey> recorderKeys = {
    {196869, 0, "User 1 Press"},
    {197125, 0, "User 1 Release"},
    {196871, 0, "User 1+2 Press"},
    {196870, 0, "User 2 Press"},
    {197126, 0, "User 2 Release"},
    {196879, 0, "Record Half Press"},
    {197135, 0, "Record Half Release", 15},
    {196880, 0, "Record Full Press"},
    {197136, 0, "Record Full Release", 15},
};

const std::vector<PanelKey> sidePanelKeys = {
    {852225, 0, "User A Press"},
    {852481, 0, "User A Release"},
    {852229, 0, "User A+D Press"},
    {852226, 0, "User B Press"},
    {852482, 0, "User B Release"},
    {852227, 0, "User C Press"},
    {852483, 0, "User C Release"},
    {852228, 0, "User D Press"},
    {852484, 0, "User D Release"},
};

const std::vector<Panel> panels = {
    {"Farwand1", 0, 0, false,
        {{262414, 0, "Movie Select"}, {262413, 0, "Still Select"}, {262442, 0, "Rocker + Press"},
            {262698, 0, "Rocker + Release"}, {262443, 0, "Rocker - Press"}, {262699, 0, "Rocker - Release"},
            {262401, 0, "User A Press"}, {262657, 0, "User A Release"}, {262402, 0, "User B Press"},
            {262658, 0, "User B Release"}, {262403, 0, "User C Press"}, {262659, 0, "User C Release"},
            {262404, 0, "User D Press"}, {262660, 0, "User D Release"}, {262415, 0, "Record Half Press"},
            {262671, 0, "Record Half Release"}, {262416, 0, "Record Full Press"}, {262672, 0, "Record Full Release"}}},
    {"Farwand2", 0, 0, false,
        {{262431, 0, "Nav North Press"}, {262433, 0, "Nav East Press"}, {262432, 0, "Nav South Press"},
            {262434, 0, "Nav West Press"}, {262435, 0, "Nav Enter Press"}, {263194, 0, "Rotary CW"},
            {264218, 0, "Rotary CCW"}, {262430, 0, "Nav Menu Press"}}},
    {"Nucla", 0, 0, false,
        {{271, 0, "Record Half Press"}, {527, 0, "Record Half Release"}, {272, 0, "Record Full Press"},
            {261, 0, "GPI In High"}, {517, 0, "GPI In Low"}}},
    {"Recorder", 0, 0, false, recorderKeys},
    {"Monitor", -1, 0, false,
        {{327941, 459013, "User 1 Press"}, {327943, 459015, "User 1+2 Press"}, {327942, 459014, "User 2 Press"},
            {327967, 459039, "Up Press"}, {327968, 459040, "Down Press"}}},
    {"Eyepiece", -1, 0, false, {{524549, 590085, "User 1 Press"}, {524550, 590086, "User 2 Press"}}},
    {"Bezel", -1, 0, false,
        {{721153, 0, "A Press"}, {721154, 0, "B Press"}, {721155, 0, "C Press"}, {721156, 0, "D Press"},
            {721157, 0, "1 Press"}, {721158, 0, "2 Press"}, {721159, 0, "3 Press"}, {721160, 0, "4 Press"}}},
    {"Grip1", 0, 0, false,
        {{65834, 0, "Rocker + Press"}, {66090, 0, "Rocker + Release"}, {65835, 0, "Rocker - Press"},
            {66091, 0, "Rocker - Release"}, {65793, 0, "User A Press"}, {66049, 0, "User A Release"},
            {65794, 0, "User B Press"}, {66050, 0, "User B Release"}, {65795, 0, "User C Press"},
            {66051, 0, "User C Release"}, {65796, 0, "User D Press"}, {66052, 0, "User D Release"},
            {65801, 0, "User 5 Press"}, {66057, 0, "User 5 Release"}, {65802, 0, "User 6 Press"},
            {66058, 0, "User 6 Release"}, {65803, 0, "User 7 Press"}, {66059, 0, "User 7 Release"}}},
    {"Grip2", 0, 0, false,
        {{65822, 0, "Nav Menu Press"}, {66078, 0, "Nav Menu Release"}, {66587, 0, "Rotary Jog CW"},
            {67611, 0, "Rotary Jog CCW"}, {65823, 0, "Nav North Press"}, {66079, 0, "Nav North Release"},
            {65825, 0, "Nav East Press"}, {66081, 0, "Nav East Release"}, {65827, 0, "Nav Enter Press"},
            {66083, 0, "Nav Enter Release"}, {65824, 0, "Nav South Press"}, {66080, 0, "Nav South Release"},
            {65826, 0, "Nav West Press"}, {66082, 0, "Nav West Release"}}},
    {"Grip3", 0, 0, false,
        {{65805, 0, "Still Select"}, {65806, 0, "Movie Select"}, {65807, 0, "Record Half Press"},
            {66063, 0, "Record Half Release"}, {65808, 0, "Record Full Press"}, {66064, 0, "Record Full Release"},
            {66586, 0, "Rotary Front CW"}, {67610, 0, "Rotary Front CCW"}, {65821, 0, "Backlight Press"},
            {66077, 0, "Backlight Release"}, {65800, 0, "User 4 Press"}, {66056, 0, "User 4 Release"},
            {65804, 0, "User 1+4 Press"}, {66060, 0, "User 1+4 Release"}, {65799, 0, "User 3 Press"},
            {66055, 0, "User 3 Release"}, {65798, 0, "User 2 Press"}, {66054, 0, "User 2 Release"},
            {65797, 0, "User 1 Press"}, {66053, 0, "User 1 Release"}}},
    {"Portex", 0, 0, false,
        {{655875, 0, "SW 1 High"}, {655619, 0, "SW 1 Low"}, {655876, 0, "SW 2 High"}, {655620, 0, "SW 2 Low"},
            {655874, 0, "GPI B High"}, {655618, 0, "GPI B Low"}, {655873, 0, "GPI A High"}, {655617, 0, "GPI A Low"}}},
    {"Pivora", 0, 10, false, sidePanelKeys},
    {"NuclaDuroma", 1, 0, false,
        {{271, 0, "Record Half Press"}, {527, 0, "Record Half Release"}, {272, 0, "Record Full Press"}}},
    {"RecorderDuroma", 1, 0, false, recorderKeys},
    {"KeelPackDuroma", 1, 0, false, {{261, 0, "GPI In High"}, {517, 0, "GPI In Low"}}},
    {"DorselDuroma", 1, 0, true, {{518, 0, "SW In High"}, {262, 0, "SW In Low"}}},
    {"ZENTRIXPackDuroma", 1, 0, true,
        {{518, 0, "SW In High"}, {262, 0, "SW In Low"}, {519, 0, "SW 2 In High"}, {263, 0, "SW 2 In Low"}}},
    {"CrownDuroma", 1, 0, false, {{917776, 0, "Record Full Press"}, {918032, 0, "Record Full Release"}}},
    {"LateroDuroma1", 1, 0, false, sidePanelKeys},
    {"LateroDuroma2", 1, 0, false,
        {{852254, 0, "Nav Menu Press"}, {852510, 0, "Nav Menu Release"}, {853018, 0, "Rotary CW"},
            {854042, 0, "Rotary CCW"}, {852255, 0, "Nav North Press"}, {852511, 0, "Nav North Release"},
            {852257, 0, "Nav East Press"}, {852513, 0, "Nav East Release"}, {852259, 0, "Nav Enter Press"},
            {852515, 0, "Nav Enter Release"}, {852256, 0, "Nav South Press"}, {852512, 0, "Nav South Release"},
            {852258, 0, "Nav West Press"}, {852514, 0, "Nav West Release"}}},
    {"GripDuroma1", 1, 0, false,
        {{983326, 0, "Nav Menu Press"}, {983582, 0, "Nav Menu Release"}, {983327, 0, "Nav North Press"},
            {983583, 0, "Nav North Release"}, {983330, 0, "Nav West Press"}, {983586, 0, "Nav West Release"},
            {983328, 0, "Nav South Press"}, {983584, 0, "Nav South Release"}, {983329, 0, "Nav East Press"},
            {983585, 0, "Nav East Release"}, {983331, 0, "Nav Enter Press"}, {983587, 0, "Nav Enter Release"},
            {984090, 0, "Rotary Jog CW"}, {985114, 0, "Rotary Jog CCW"}}},
    {"GripDuroma2", 1, 0, false,
        {{983297, 0, "User A Press"}, {983553, 0, "User A Release"}, {983298, 0, "User B Press"},
            {983554, 0, "User B Release"}, {983299, 0, "User C Press"}, {983555, 0, "User C Release"},
            {983300, 0, "User D Press"}, {983556, 0, "User D Release"}, {984091, 0, "Rotary Side CW"},
            {985115, 0, "Rotary Side CCW"}}},
    // The focus wheel has no key code of its own.
    {"GripDuroma3", 1, 0, false,
        {{983311, 0, "Record Half Press"}, {983567, 0, "Record Half Release"}, {983312, 0, "Record Full Press"},
            {983568, 0, "Record Full Release"}, {983301, 0, "User 1 Press"}, {983557, 0, "User 1 Release"}}},
};

// The oldest firmware has no monitor chord.
const std::set<int> dataSet5Gaps = {327943, 459015};

// Event-name prefix of each module, by family and preset version.
std::map<int, QString> modulePrefixes(tarvik_camera_t family, int version)
{
    if (family == TARVIK_CAMERA_DUROMA)
        return {{0, "NUCLA"}, {3, "REC"}, {5, "Monitor Top"}, {6, "Lens"}, {7, "Monitor Left"}, {8, "Eyepiece Top"},
            {9, "Eyepiece Left"}, {11, "UI Bezel"}, {13, "LT"}, {14, "CR"}, {15, "GR"}};
    std::map<int, QString> prefixes = {{1, "GR"}, {3, "REC"}, {4, "FW"}, {6, "Lens"}, {10, "Portex"}, {11, "UI Bezel"}};
    if (version >= 10)
        prefixes[13] = "PV";
    if (version < 15) {
        prefixes[0] = "Nucla";
        prefixes[5] = "Monitor (Nucla)";
        prefixes[7] = "Monitor (Rear)";
        prefixes[8] = "Eyepiece (Nucla)";
        prefixes[9] = "Eyepiece (Rear)";
    } else if (version == 15) {
        prefixes[0] = "NUCLA";
        prefixes[5] = "Monitor (NUCLA)";
        prefixes[7] = "Monitor (Rear)";
        prefixes[8] = "Eyepiece (NUCLA)";
        prefixes[9] = "Eyepiece (Rear)";
    } else {
        prefixes[0] = "NUCLA";
        prefixes[5] = "Monitor";
        prefixes[7] = "Monitor Rear";
        prefixes[8] = "Eyepiece";
        prefixes[9] = "Eyepiece Rear";
    }
    return prefixes;
}

// Every event name ends with what its kind says.
struct Suffix {
    const char *text;
    QList<int> kinds;
};
const Suffix suffixes[] = {
    {" Press", {1}},
    {" Select", {1}},
    {" Release", {2}},
    {" CW", {4}},
    {" CCW", {8}},
    {" High", {1, 2}},
    {" Low", {1, 2}},
};

struct DataSet {
    const char *tag;
    tarvik_camera_t family;
    int version;
    int events, actions, dialogs;
};

const DataSet dataSets[] = {
    {"tano 5", TARVIK_CAMERA_TANO_BRISOLA, 5, 128, 112, 26},
    {"tano 9", TARVIK_CAMERA_TANO_BRISOLA, 9, 122, 139, 39},
    {"tano 10", TARVIK_CAMERA_TANO_BRISOLA, 10, 152, 162, 44},
    {"tano 15", TARVIK_CAMERA_TANO_BRISOLA, 15, 154, 169, 48},
    {"tano 16", TARVIK_CAMERA_TANO_BRISOLA, 16, 154, 183, 117},
    {"duroma 16", TARVIK_CAMERA_DUROMA, 16, 190, 179, 119},
};

QString resourceName(tarvik_camera_t family, int version)
{
    return QString(":/%1/factory%2")
        .arg(family == TARVIK_CAMERA_DUROMA ? "duroma-databases" : "tano-databases")
        .arg(version);
}

int count(Database &db, const QString &table)
{
    db.executeQuery("SELECT COUNT(*) FROM " + table);
    return db.itemAt(0, 0).toInt();
}

ResultSet select(Database &db, const QString &query)
{
    ResultSet rows;
    if (db.executeQuery(query))
        db.copyResults(rows);
    return rows;
}

} // namespace

class TestFactoryData : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void dataSet_data();
    void scriptFormat_data() { dataSet_data(); }
    void scriptFormat();
    void loadsEveryLine_data() { dataSet_data(); }
    void loadsEveryLine();
    void keyCodePacking_data() { dataSet_data(); }
    void keyCodePacking();
    void panelKeyCodes_data() { dataSet_data(); }
    void panelKeyCodes();
    void actionsAndDialogs_data() { dataSet_data(); }
    void actionsAndDialogs();
    void lookups_data() { dataSet_data(); }
    void lookups();
    void preparedFilesMatchScripts_data() { dataSet_data(); }
    void preparedFilesMatchScripts();
    void buildSelectsTheSource();
    void failures_data();
    void failures();

private:
    std::unique_ptr<Database> load(tarvik_camera_t family, int version);

    CameraCatalogue m_catalogue;
    QString m_startDirectory;
    QString m_programDirectory;
};

void TestFactoryData::initTestCase()
{
    m_catalogue.addSupportedCameras();
    m_startDirectory = QDir::currentPath();
    // The prepared files lie where the build puts them, beside the program directory.
    m_programDirectory = TestSupport::binaryDir() + "/tarvik/bin";
    QVERIFY(QDir().mkpath(m_programDirectory));
}

void TestFactoryData::dataSet_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(dataSets)); ++i)
        QTest::newRow(dataSets[i].tag) << i;
}

std::unique_ptr<Database> TestFactoryData::load(tarvik_camera_t family, int version)
{
    return std::unique_ptr<Database>(
        m_catalogue.createFactory(family, version, CameraCatalogue::FactorySource::CompiledScripts));
}

void TestFactoryData::scriptFormat()
{
    QFETCH(int, index);
    const DataSet &set = dataSets[index];
    QFile file(resourceName(set.family, set.version));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.endsWith('\n'));
    for (char c : bytes)
        QVERIFY2(c == '\n' || (c >= 0x20 && c < 0x7f), "only printable ASCII and line feeds");

    const QList<QByteArray> lines = bytes.chopped(1).split('\n');
    const QString textValue = "'[^']*'";
    const QString event = "INSERT INTO \"key_events\" VALUES\\(\\d+," + textValue + "\\);";
    const QString action = "INSERT INTO \"key_actions\" VALUES\\(\\d+," + textValue + "\\);";
    const QString dialog = set.version == 5 ? "INSERT INTO \"dialogs\" VALUES\\(" + textValue + "\\);"
                                            : "INSERT INTO \"dialogs\" VALUES\\(\\d+," + textValue + "\\);";
    const QString dialogsTable
        = set.version == 5 ? "CREATE TABLE dialogs(name);" : "CREATE TABLE dialogs (id UNIQUE, name);";

    // The sections in order, each a fixed line followed by its rows.
    const QList<QPair<QString, int>> expected = {
        {QRegularExpression::escape("PRAGMA foreign_keys=OFF;"), 1},
        {QRegularExpression::escape("BEGIN TRANSACTION;"), 1},
        {QRegularExpression::escape("CREATE TABLE key_events(key_code UNIQUE DEFAULT NULL, key_event DEFAULT NULL);"),
            1},
        {event, set.events},
        {QRegularExpression::escape("CREATE TABLE key_actions(id UNIQUE DEFAULT NULL, key_action DEFAULT NULL);"), 1},
        {action, set.actions},
        {QRegularExpression::escape(dialogsTable), 1},
        {dialog, set.dialogs},
        {QRegularExpression::escape("COMMIT;"), 1},
    };
    int line = 0;
    for (const auto &[pattern, lineCount] : expected) {
        const QRegularExpression shape(QRegularExpression::anchoredPattern(pattern));
        for (int i = 0; i < lineCount; ++i, ++line) {
            QVERIFY2(line < lines.size(), "the script ends early");
            QVERIFY2(shape.match(QString::fromLatin1(lines.at(line))).hasMatch(), lines.at(line).constData());
        }
    }
    QCOMPARE(line, lines.size());
}

void TestFactoryData::loadsEveryLine()
{
    QFETCH(int, index);
    const DataSet &set = dataSets[index];
    LogCapture log;
    auto factory = load(set.family, set.version);
    QVERIFY(factory->isOpen());
    QCOMPARE(log.messages("ERROR"), QStringList());
    QCOMPARE(log.messages("WARNING"), QStringList());

    QCOMPARE(count(*factory, "key_events"), set.events);
    QCOMPARE(count(*factory, "key_actions"), set.actions);
    QCOMPARE(count(*factory, "dialogs"), set.dialogs);

    const QStringList dialogColumns = set.version == 5 ? QStringList {"name"} : QStringList {"id", "name"};
    ResultSet columns = select(*factory, "SELECT name FROM pragma_table_info('dialogs')");
    QStringList names;
    for (const auto &row : columns)
        names << row.second.value(0);
    QCOMPARE(names, dialogColumns);
}

void TestFactoryData::keyCodePacking()
{
    QFETCH(int, index);
    const DataSet &set = dataSets[index];
    auto factory = load(set.family, set.version);
    const std::map<int, QString> prefixes = modulePrefixes(set.family, set.version);

    std::map<QPair<int, int>, QString> baseNames; // (module, key) -> name without the kind's ending
    std::set<std::pair<QPair<int, int>, QString>> endings;
    std::set<QString> names;
    std::set<int> kindZero;
    for (const auto &[row, cells] : select(*factory, "SELECT key_code, key_event FROM key_events")) {
        bool ok = false;
        const int code = cells.at(0).toInt(&ok);
        const QString &name = cells.at(1);
        const QByteArray context = QString("%1 %2").arg(code).arg(name).toLatin1();
        QVERIFY2(ok && code > 0 && code <= 0xFFFFFF, context);
        const int module = code >> 16, kind = (code >> 8) & 0xFF, key = code & 0xFF;
        QVERIFY2(key > 0, context);
        QVERIFY2(names.insert(name).second, "event names are unique: " + context);

        QVERIFY2(prefixes.count(module), "a module of the family: " + context);
        const bool switchInput = set.family == TARVIK_CAMERA_DUROMA && module == 0 && name.startsWith("SW ");
        QVERIFY2(switchInput || name.startsWith(prefixes.at(module) + ' '), "the module's prefix: " + context);

        QString base = name;
        if (kind == 0) {
            kindZero.insert(code);
        } else {
            const Suffix *suffix = std::find_if(
                std::begin(suffixes), std::end(suffixes), [&](const Suffix &s) { return name.endsWith(s.text); });
            QVERIFY2(suffix != std::end(suffixes), "the name says its kind: " + context);
            QVERIFY2(suffix->kinds.contains(kind), "the kind matches the name: " + context);
            base.chop(int(qstrlen(suffix->text)));
            QVERIFY2(endings.insert({{module, key}, suffix->text}).second, "one edge per kind: " + context);
        }
        const QPair<int, int> physicalKey(module, key);
        if (baseNames.count(physicalKey))
            QVERIFY2(baseNames.at(physicalKey) == base, "one key, one name: " + context);
        else
            baseNames[physicalKey] = base;
    }
    // Only the oldest data set names its four lens keys without a kind.
    const std::set<int> lensKeys = {393217, 393218, 393219, 393220};
    QCOMPARE(kindZero, set.version == 5 ? lensKeys : std::set<int>());
}

void TestFactoryData::panelKeyCodes()
{
    QFETCH(int, index);
    const DataSet &set = dataSets[index];
    auto factory = load(set.family, set.version);
    const std::map<int, QString> prefixes = modulePrefixes(set.family, set.version);

    std::map<int, QString> events;
    for (const auto &[row, cells] : select(*factory, "SELECT key_code, key_event FROM key_events"))
        events[cells.at(0).toInt()] = cells.at(1);

    std::set<int> missing;
    int checked = 0;
    for (const Panel &panel : panels) {
        if ((panel.family >= 0 && panel.family != set.family) || set.version < panel.since)
            continue;
        for (const PanelKey &key : panel.keys) {
            if (set.version < key.since)
                continue;
            for (int code : {key.code, key.rearCode}) {
                if (code == 0)
                    continue;
                ++checked;
                const QString expected
                    = panel.ownNames ? QString(key.event) : prefixes.at(code >> 16) + ' ' + key.event;
                if (!events.count(code)) {
                    missing.insert(code);
                    continue;
                }
                QVERIFY2(events.at(code) == expected,
                    QString("%1 %2: %3, expected %4")
                        .arg(panel.name)
                        .arg(code)
                        .arg(events.at(code), expected)
                        .toLatin1());
            }
        }
    }
    QVERIFY(checked > 0);
    QCOMPARE(missing, set.version == 5 ? dataSet5Gaps : std::set<int>());
}

void TestFactoryData::actionsAndDialogs()
{
    QFETCH(int, index);
    const DataSet &set = dataSets[index];
    auto factory = load(set.family, set.version);

    std::map<int, QString> actions;
    std::set<QString> actionNames;
    for (const auto &[row, cells] : select(*factory, "SELECT id, key_action FROM key_actions")) {
        actions[cells.at(0).toInt()] = cells.at(1);
        QVERIFY2(actionNames.insert(cells.at(1)).second, cells.at(1).toLatin1());
    }
    QCOMPARE(actions[1], QString("-Key Disabled-"));
    QCOMPARE(actions[15], QString("Show Dialog"));
    QCOMPARE(actions[65], QString("Apply Look"));
    QCOMPARE(actions[69], QString("Apply Preset"));
    QCOMPARE(actions.count(146) ? actions.at(146) : QString(), set.version >= 9 ? QString("Run Script") : QString());
    // The main window adds "Key not mapped" itself.
    QVERIFY(!actions.count(65535));
    // The editor finds these actions by name, so each name names one action only.
    for (const char *name : {"Show Dialog", "Apply Look", "Apply Preset", "Run Script"})
        QVERIFY(std::count_if(actions.begin(), actions.end(), [&](const auto &a) { return a.second == name; }) <= 1);

    // Dialogs are found by name: unique, and with every special character as an entity.
    std::set<QString> dialogNames;
    bool registeredSign = false;
    const QRegularExpression entity("&[a-z0-9]+;");
    for (const auto &[row, cells] : select(*factory, "SELECT name FROM dialogs")) {
        const QString &name = cells.at(0);
        QVERIFY2(!name.isEmpty() && dialogNames.insert(name).second, name.toLatin1());
        QVERIFY2(!name.contains(':'), name.toLatin1());
        QString withoutEntities = name;
        withoutEntities.remove(entity);
        QVERIFY2(!withoutEntities.contains('&'), name.toLatin1());
        for (const auto &match : entity.globalMatch(name))
            QVERIFY2(QtUtil::decodedStringFromString(match.captured()) != match.captured(), name.toLatin1());
        registeredSign |= QtUtil::decodedStringFromString(name).contains(QChar(0x00AE));
    }
    QVERIFY(registeredSign);
    for (const auto &[id, name] : actions) {
        QString withoutEntities = name;
        withoutEntities.remove(entity);
        QVERIFY2(!withoutEntities.contains('&'), name.toLatin1());
    }
}

void TestFactoryData::lookups()
{
    QFETCH(int, index);
    const DataSet &set = dataSets[index];
    auto factory = load(set.family, set.version);
    const bool dialogIds = set.version != 5;

    QVERIFY(factory->executeQuery("SELECT name FROM dialogs ORDER BY name"));
    QCOMPARE(factory->rowCount(), set.dialogs);
    QCOMPARE(factory->colCount(), 1);
    QStringList dialogNames;
    for (const auto &row : select(*factory, "SELECT name FROM dialogs ORDER BY name"))
        dialogNames << row.second.at(0);
    QVERIFY(std::is_sorted(dialogNames.begin(), dialogNames.end()));

    QVERIFY(factory->executeQuery("SELECT id, key_action FROM key_actions ORDER BY key_action"));
    QCOMPARE(factory->rowCount(), set.actions);
    QCOMPARE(factory->colCount(), 2);
    QCOMPARE(factory->itemAt(0, 0), QString("1"));
    QCOMPARE(factory->itemAt(0, 1), QString("-Key Disabled-"));

    QVERIFY(factory->executeQuery(QString("SELECT key_action FROM key_actions WHERE id = %1").arg(15)));
    QCOMPARE(factory->itemAt(0, 0), QString("Show Dialog"));
    QVERIFY(factory->executeQuery(QString("SELECT key_action FROM key_actions WHERE id = %1").arg(146)));
    QCOMPARE(factory->rowCount(), dialogIds ? 1 : 0);

    // A dialog by name: one column without ids, two with them.
    QVERIFY(factory->executeQuery("SELECT * FROM dialogs WHERE name = ?", {QString("Audio Control")}));
    QCOMPARE(factory->rowCount(), 1);
    QCOMPARE(factory->colCount(), dialogIds ? 2 : 1);
    QCOMPARE(factory->itemAt(0, 0), dialogIds ? QString("20481") : QString("Audio Control"));

    // A dialog by id: the query fails where dialogs have no ids.
    LogCapture log;
    QCOMPARE(factory->executeQuery(QString("SELECT name FROM dialogs WHERE id = %1").arg(20481)), dialogIds);
    if (dialogIds)
        QCOMPARE(factory->itemAt(0, 0), QString("Audio Control"));

    const int userA = set.family == TARVIK_CAMERA_DUROMA ? 983297 : 65793;
    QVERIFY(factory->executeQuery(QString("SELECT key_event FROM key_events WHERE key_code = %1").arg(userA)));
    QCOMPARE(factory->itemAt(0, 0), QString("GR User A Press"));
    QVERIFY(factory->executeQuery(QString("SELECT key_event FROM key_events WHERE key_code = %1").arg(0xFFFFFF)));
    QCOMPARE(factory->rowCount(), 0);
}

void TestFactoryData::preparedFilesMatchScripts()
{
    QFETCH(int, index);
    const DataSet &set = dataSets[index];
    QVERIFY(QDir::setCurrent(m_programDirectory));
    std::unique_ptr<Database> prepared(
        m_catalogue.createFactory(set.family, set.version, CameraCatalogue::FactorySource::PreparedFiles));
    QDir::setCurrent(m_startDirectory);
    QVERIFY(prepared->isOpen());
    QCOMPARE(prepared->fileName(), m_catalogue.camera(set.family)->factoryPath(set.version));

    auto script = load(set.family, set.version);
    for (const char *query : {"SELECT * FROM key_events ORDER BY key_code", "SELECT * FROM key_actions ORDER BY id",
             "SELECT * FROM dialogs ORDER BY name"})
        QCOMPARE(select(*prepared, query), select(*script, query));
}

void TestFactoryData::buildSelectsTheSource()
{
    // Tests are engineering builds, which read the prepared files.
    QVERIFY(QDir::setCurrent(m_programDirectory));
    std::unique_ptr<Database> factory(m_catalogue.createFactory(TARVIK_CAMERA_DUROMA, 16));
    QDir::setCurrent(m_startDirectory);
    QVERIFY(factory->isOpen());
    QCOMPARE(factory->fileName(), QString("../Resources/databases/duroma/factory16.db"));

    // Run from elsewhere, the relative path finds nothing.
    LogCapture log;
    std::unique_ptr<Database> elsewhere(m_catalogue.createFactory(TARVIK_CAMERA_DUROMA, 16));
    QVERIFY(!elsewhere->isOpen());
    QVERIFY(log.contains("ERROR", "Unable to open database \"../Resources/databases/duroma/factory16.db\""));
}

void TestFactoryData::failures_data()
{
    QTest::addColumn<bool>("scripts");
    QTest::addColumn<tarvik_camera_t>("family");
    QTest::addColumn<int>("version");
    QTest::addColumn<QStringList>("errors");
    QTest::newRow("scripts: unknown version")
        << true << TARVIK_CAMERA_TANO_BRISOLA << 7
        << QStringList {"Unable to open database file \":/tano-databases/factory7\""};
    QTest::newRow("scripts: duroma 15") << true << TARVIK_CAMERA_DUROMA << 15
                                        << QStringList {
                                               "Unable to open database file \":/duroma-databases/factory15\""};
    QTest::newRow("scripts: invalid family") << true << TARVIK_CAMERA_INVALID << 16
                                             << QStringList {"Unable to create factory. Invalid camera type specified.",
                                                    "Unable to open database file \"://factory16\""};
    QTest::newRow("files: unknown version")
        << false << TARVIK_CAMERA_TANO_BRISOLA << 7
        << QStringList {"Unable to open database \"../Resources/databases/tano_brisola/factory7.db\""};
    QTest::newRow("files: invalid family")
        << false << TARVIK_CAMERA_INVALID << 16
        << QStringList {"There are no cameras of type 2", "Unable to open database \"\""};
}

void TestFactoryData::failures()
{
    QFETCH(bool, scripts);
    QFETCH(tarvik_camera_t, family);
    QFETCH(int, version);
    QFETCH(QStringList, errors);
    QVERIFY(QDir::setCurrent(m_programDirectory));
    LogCapture log;
    std::unique_ptr<Database> factory(m_catalogue.createFactory(family, version,
        scripts ? CameraCatalogue::FactorySource::CompiledScripts : CameraCatalogue::FactorySource::PreparedFiles));
    QDir::setCurrent(m_startDirectory);
    QVERIFY(factory);
    QVERIFY(!factory->isOpen());
    for (const QString &error : errors)
        QVERIFY2(log.contains("ERROR", error), error.toLatin1());
}

QTEST_GUILESS_MAIN(TestFactoryData)
#include "tst_factorydata.moc"
