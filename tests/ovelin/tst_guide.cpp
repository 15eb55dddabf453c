#include "guide/CanvasStyle.h"
#include "guide/CustomLineEdit.h"
#include "guide/Guide.h"
#include "guide/GuideParameters.h"

#include "app/CustomComboBox.h"
#include "storage/Database.h"

#include "GuideTestUtil.h"
#include "TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const char *const titles[] = {"Frame Guide", "Action Guide", "Title Guide"};
const TRect uhd {0, 0, 4096, 2160};

// A guide set up as the panel sets it up, with every emission recorded in order.
// With `asPanel` it also answers its signals the way the panel does.
struct Harness {
    Guide guide;
    TRect area = uhd;
    QStringList events;

    explicit Harness(int index = 0, bool asPanel = false)
        : guide(index, QLatin1String(titles[index]), index > 0)
    {
        guide.setupTexts();
        guide.applyFonts(QApplication::font());
        guide.buildLayout();
        guide.connectSignals();
        QObject::connect(&guide, &Guide::guideUpdated, [this] { events << QStringLiteral("guideUpdated"); });
        QObject::connect(&guide, &Guide::styleUpdated, [this] { events << QStringLiteral("styleUpdated"); });
        QObject::connect(&guide, &Guide::absoluteModeEnabled, [this](bool enable, Guide *g) {
            QVERIFY(g == &guide);
            events << QStringLiteral("absoluteModeEnabled(%1)").arg(enable);
        });
        QObject::connect(&guide, &Guide::userRatioUpdated, [this](Guide *g) {
            QVERIFY(g == &guide);
            events << QStringLiteral("userRatioUpdated");
        });
        QObject::connect(&guide, &Guide::changeMade,
            [this](const QString &name, const QString &value) { events << QStringLiteral("%1=%2").arg(name, value); });
        if (asPanel) {
            QObject::connect(&guide, &Guide::absoluteModeEnabled,
                [this](bool enable, Guide *) { guide.enableAbsoluteMode(enable, area); });
            QObject::connect(&guide, &Guide::userRatioUpdated, [this](Guide *) { guide.updateUserRatio(area); });
            QObject::connect(&guide, &Guide::guideUpdated, [this] { guide.computeGeometry(area, 1.0f, false); });
        }
    }

    // Puts the controls into a known state without reporting anything.
    void prepare(int mode, const QString &scale = QStringLiteral("100"), const QString &offsetX = QStringLiteral("0"),
        const QString &offsetY = QStringLiteral("0"))
    {
        guide.setAllSignalsBlocked(true);
        selectMode(mode);
        guide.scaleEdit()->setText(scale);
        guide.offsetXEdit()->setText(offsetX);
        guide.offsetYEdit()->setText(offsetY);
        guide.refreshAll();
        guide.setAllSignalsBlocked(false);
        guide.computeGeometry(area, 1.0f, false);
        events.clear();
    }

    void selectMode(int mode) { guide.modeCombo()->setCurrentIndex(guide.modeCombo()->findData(mode)); }

    void commit(CustomLineEdit *edit, const QString &text)
    {
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
};

QString name(const char *pattern, int index)
{
    return GuideParameters::forGuide(pattern, index);
}

QString presetSql(const QStringList &rows)
{
    QString sql = QStringLiteral("CREATE TABLE info(version);\nINSERT INTO info VALUES(5);\n"
                                 "CREATE TABLE parameters(name UNIQUE, value);\n");
    for (const QString &row : rows)
        sql += QStringLiteral("INSERT INTO parameters VALUES(%1);\n").arg(row);
    return sql;
}

QString defaultTemplateSql()
{
    QFile file(TestSupport::sourceDir() + QStringLiteral("/ovelin/data/templates/4.0.x/Default.sql"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

std::unique_ptr<Database> openPreset(const QString &path)
{
    auto db = std::make_unique<Database>(path, false, 2);
    return db->isOpen() ? std::move(db) : nullptr;
}

// name -> (value, storage class) of every row.
QMap<QString, QPair<QString, QString>> rowsOf(Database &db)
{
    QMap<QString, QPair<QString, QString>> rows;
    db.executeQuery(QStringLiteral("SELECT name, value, typeof(value) FROM parameters"));
    ResultSet results;
    db.copyResults(results);
    for (const auto &row : results)
        rows.insert(row.second.at(0), {row.second.at(1), row.second.at(2)});
    return rows;
}

} // namespace

class TestGuide : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void construction();
    void fonts();
    void emissions_data();
    void emissions();
    void handlerEffects();
    void geometry_data();
    void geometry();
    void frameDisabledKeepsRect();
    void mapToCanvas();
    void userRatio_data();
    void userRatio();
    void controlStates_data();
    void controlStates();
    void absoluteModeKeepsRect();
    void absoluteModeWithoutLayout();
    void relativeAndBlocking();
    void loadAbsoluteGuide();
    void loadClampsOffsetAndShowsRatio();
    void loadRelativeFlag_data();
    void loadRelativeFlag();
    void loadFillsFromTemplate();
    void loadWithoutTemplate();
    void loadEncryptedTemplate();

private:
    QTemporaryDir m_dir;
    QString m_templatePath;
};

void TestGuide::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_templatePath = m_dir.filePath(QStringLiteral("Default.preset"));
    QVERIFY(TestSupport::buildPreset(defaultTemplateSql(), m_templatePath));
}

void TestGuide::construction()
{
    Harness h(1);
    QCOMPARE(h.guide.index(), 1);
    QCOMPARE(h.guide.title(), QStringLiteral("Action Guide"));
    QCOMPARE(h.guide.sizeHint(), QSize(612, 200));
    QCOMPARE(h.guide.style()->type(), int(CanvasStyle::GuideRect));
    QVERIFY(!h.guide.isActive());
    QVERIFY(!h.guide.isAbsolute());
    QCOMPARE(h.guide.modeCombo()->name(), QStringLiteral("GUIDE_FRAME_1_MODE"));
    QCOMPARE(h.guide.colorCombo()->objectName(), QStringLiteral("colorCombo"));
    QCOMPARE(h.guide.widthEdit()->name(), QStringLiteral("GUIDE_FRAME_1_ABS"));
    QCOMPARE(h.guide.offsetYEdit()->type(), int(CustomLineEdit::SignedPercent));
    QCOMPARE(h.guide.ratioEdit()->type(), int(CustomLineEdit::Ratio));
    QCOMPARE(h.guide.scaleMinusButton()->objectName(), QStringLiteral("minusButton"));
    QCOMPARE(h.guide.scalePlusButton()->objectName(), QStringLiteral("plusButton"));
    QVERIFY(h.guide.relativeCheckBox());
    QVERIFY(!Harness(0).guide.relativeCheckBox());

    QStringList modes;
    for (int i = 0; i < h.guide.modeCombo()->count(); ++i)
        modes << h.guide.modeCombo()->itemText(i) + QLatin1Char('=') + h.guide.modeCombo()->itemData(i).toString();
    QCOMPARE(modes,
        (QStringList {"Off=-1", "Full=0", "4:3=1333333", "16:9=1777778", "1.85:1=1850000", "1.9:1=1896296",
            "2.4:1=2400000", "User=-2", "Absolute=-3"}));
    QCOMPARE(h.guide.colorCombo()->count(), 9);
    QCOMPARE(h.guide.colorCombo()->itemText(7), QStringLiteral("Dark Gray"));
    QCOMPARE(h.guide.colorCombo()->itemData(7, Qt::BackgroundRole).value<QBrush>().color(), QColor(0x60, 0x60, 0x60));
    QCOMPARE(h.guide.colorCombo()->itemData(0, Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::white));
}

void TestGuide::fonts()
{
    Guide guide(1, QStringLiteral("Action Guide"), true);
    guide.setupTexts();
    QFont base = QApplication::font();
    base.setPointSize(base.pointSize() + 2);
    guide.applyFonts(base);
    guide.buildLayout();

    const QLabel *title = guide.findChild<QLabel *>(QStringLiteral("title"));
    QVERIFY(title);
    QCOMPARE(title->font().pointSize(), base.pointSize() + 4);
    QCOMPARE(guide.modeCombo()->font().pointSize(), base.pointSize());
    const int rowHeight = guide.modeCombo()->sizeHint().height() + 2;
    QCOMPARE(guide.scaleMinusButton()->height(), rowHeight);
    QCOMPARE(guide.scaleEdit()->height(), rowHeight - 4);
    QCOMPARE(guide.ratioPlusButton()->width(), guide.scaleMinusButton()->width());
    QCOMPARE(guide.scaleMinusButton()->minimumWidth(), guide.scaleMinusButton()->maximumWidth());
}

void TestGuide::emissions_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("expected");

    const QStringList geometry {"guideUpdated", "styleUpdated"};
    QTest::newRow("mode changed") << 0 << "mode 16:9"
                                  << QStringList {"guideUpdated", "styleUpdated", "userRatioUpdated",
                                         "GUIDE_FRAME_0_MODE=1777778"};
    QTest::newRow("same mode again") << 0 << "same mode"
                                     << QStringList {
                                            "guideUpdated", "styleUpdated", "userRatioUpdated", "GUIDE_FRAME_0_MODE=0"};
    QTest::newRow("mode Absolute") << 0 << "mode absolute"
                                   << QStringList {"absoluteModeEnabled(1)", "guideUpdated", "styleUpdated",
                                          "userRatioUpdated", "GUIDE_FRAME_0_MODE=-3"};
    QTest::newRow("ratio typed") << 0 << "ratio 2" << geometry + QStringList {"GUIDE_FRAME_0_AR_NUM=20000"};
    QTest::newRow("ratio unchanged") << 0 << "ratio 0.0001" << QStringList {};
    QTest::newRow("ratio plus") << 0 << "ratio plus" << geometry + QStringList {"GUIDE_FRAME_0_AR_NUM=2"};
    QTest::newRow("scale key down") << 0 << "scale down" << geometry + QStringList {"GUIDE_FRAME_0_SCALE=9900"};
    QTest::newRow("scale unchanged") << 0 << "scale 100" << QStringList {};
    QTest::newRow("scale plus disabled at 100%") << 0 << "scale plus" << QStringList {};
    QTest::newRow("width typed") << 0 << "width 1920"
                                 << QStringList {"userRatioUpdated", "GUIDE_FRAME_0_ABS=0:0:1920:0"};
    QTest::newRow("height typed") << 2 << "height 1080"
                                  << QStringList {"userRatioUpdated", "GUIDE_FRAME_2_ABS=0:0:0:1080"};
    QTest::newRow("height unchanged") << 0 << "height 0" << QStringList {};
    QTest::newRow("offset X typed") << 0 << "offset x 12.5"
                                    << QStringList {"GUIDE_FRAME_0_OFFSET_X_PERCENT=1250"} + geometry;
    QTest::newRow("offset X minus") << 0 << "offset x minus"
                                    << QStringList {"GUIDE_FRAME_0_OFFSET_X_PERCENT=-100"} + geometry;
    QTest::newRow("offset Y unchanged still updates") << 0 << "offset y 0" << geometry;
    QTest::newRow("relative clicked") << 1 << "relative" << geometry + QStringList {"GUIDE_FRAME_1_REL_TO_FRAME_0=1"};
    QTest::newRow("line type") << 0 << "line type" << QStringList {"styleUpdated", "GUIDE_FRAME_0_LINE_STYLE=2"};
    QTest::newRow("colour") << 0 << "colour" << QStringList {"styleUpdated", "GUIDE_FRAME_0_COLOR=4"};
    QTest::newRow("colour index beyond the table")
        << 0 << "colour 9" << QStringList {"styleUpdated", "GUIDE_FRAME_0_COLOR=0"};
    QTest::newRow("opacity") << 2 << "opacity" << QStringList {"styleUpdated", "GUIDE_FRAME_2_OPACITY=75"};
}

void TestGuide::emissions()
{
    QFETCH(int, index);
    QFETCH(QString, action);
    QFETCH(QStringList, expected);

    Harness h(index);
    h.prepare(GuideGeometry::ModeFull);
    Guide &g = h.guide;
    if (action == QLatin1String("mode 16:9"))
        h.selectMode(1777778);
    else if (action == QLatin1String("same mode"))
        g.updateMode(g.modeCombo()->currentIndex());
    else if (action == QLatin1String("mode absolute"))
        h.selectMode(GuideGeometry::ModeAbsolute);
    else if (action.startsWith(QLatin1String("ratio ")) && action != QLatin1String("ratio plus"))
        h.commit(g.ratioEdit(), action.mid(6));
    else if (action == QLatin1String("ratio plus"))
        g.ratioPlusButton()->click();
    else if (action == QLatin1String("scale down"))
        QTest::keyClick(g.scaleEdit(), Qt::Key_Down);
    else if (action == QLatin1String("scale 100"))
        h.commit(g.scaleEdit(), QStringLiteral("100"));
    else if (action == QLatin1String("scale plus"))
        g.scalePlusButton()->click();
    else if (action.startsWith(QLatin1String("width ")))
        h.commit(g.widthEdit(), action.mid(6));
    else if (action.startsWith(QLatin1String("height ")))
        h.commit(g.heightEdit(), action.mid(7));
    else if (action == QLatin1String("offset x minus"))
        g.offsetXMinusButton()->click();
    else if (action.startsWith(QLatin1String("offset x ")))
        h.commit(g.offsetXEdit(), action.mid(9));
    else if (action.startsWith(QLatin1String("offset y ")))
        h.commit(g.offsetYEdit(), action.mid(9));
    else if (action == QLatin1String("relative"))
        g.relativeCheckBox()->click();
    else if (action == QLatin1String("line type"))
        g.lineTypeCombo()->setCurrentIndex(2);
    else if (action == QLatin1String("colour"))
        g.colorCombo()->setCurrentIndex(4);
    else if (action == QLatin1String("colour 9"))
        g.updateLineColor(9);
    else if (action == QLatin1String("opacity"))
        g.opacityCombo()->setCurrentIndex(2);
    else
        QFAIL("unknown action");
    QCOMPARE(h.events, expected);
}

void TestGuide::handlerEffects()
{
    Harness h;
    h.prepare(GuideGeometry::ModeFull);
    Guide &g = h.guide;
    CanvasStyle *style = g.style();

    g.lineTypeCombo()->setCurrentIndex(1);
    QCOMPARE(style->penStyle(), int(Qt::DotLine));
    g.lineTypeCombo()->setCurrentIndex(2);
    QCOMPARE(style->penStyle(), int(Qt::CustomDashLine));

    g.colorCombo()->setCurrentIndex(4);
    QCOMPARE(style->color(), QColor(Qt::yellow));
    QCOMPARE(g.colorCombo()->styleSheet(), QStringLiteral("QComboBox { background-color: #FFFF00; color: #000000; }"));
    g.updateLineColor(9);
    QCOMPARE(style->color(), QColor(Qt::yellow));

    g.opacityCombo()->setCurrentIndex(2);
    QCOMPARE(style->opacity(), 0.75f);

    // The scale field reports hundredths of a percent, rounded.
    QSignalSpy changes(&g, &Guide::changeMade);
    h.commit(g.scaleEdit(), QStringLiteral("33.3351"));
    QCOMPARE(g.scale(), 3334);
    QCOMPARE(g.scaleEdit()->text(), QStringLiteral("33.34%"));
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.at(0), (QList<QVariant> {QStringLiteral("GUIDE_FRAME_0_SCALE"), QStringLiteral("3334")}));
}

void TestGuide::geometry_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("scale");
    QTest::addColumn<float>("squeeze");
    QTest::addColumn<QString>("info");

    QTest::newRow("16:9 on 4096x2160") << 1777778 << "100" << 1.0f << "3840 x 2160, Origin: (128, 0)";
    QTest::newRow("2.4:1 on 4096x2160") << 2400000 << "100" << 1.0f << "4096 x 1707, Origin: (0, 227)";
    QTest::newRow("16:9 with squeeze 2") << 1777778 << "100" << 2.0f << "1920 x 2160, Origin: (1088, 0)";
    QTest::newRow("full at 50%") << 0 << "50" << 1.0f << "2048 x 1080, Origin: (1024, 540)";
}

void TestGuide::geometry()
{
    QFETCH(int, mode);
    QFETCH(QString, scale);
    QFETCH(float, squeeze);
    QFETCH(QString, info);

    Harness h;
    h.prepare(mode, scale);
    h.guide.computeGeometry(uhd, squeeze, false);
    QCOMPARE(h.guide.infoLabel()->text(), info);
}

void TestGuide::frameDisabledKeepsRect()
{
    Harness h(1);
    h.prepare(1777778);
    const TRect before = h.guide.rect();
    h.guide.computeGeometry(TRect {0, 0, 100, 100}, 1.0f, true);
    QCOMPARE(h.guide.infoLabel()->text(), QStringLiteral("Frame Guide disabled"));
    QCOMPARE(h.guide.rect(), before);
}

void TestGuide::mapToCanvas()
{
    Harness h;
    h.prepare(1777778);
    h.guide.mapToCanvas(TRect {0, 0, 580, 228}, uhd);
    QCOMPARE(h.guide.style()->rect(), (TRect {18, 0, 543, 228}));
    QCOMPARE(h.events, QStringList {"styleUpdated"});

    h.prepare(GuideGeometry::ModeOff);
    h.guide.mapToCanvas(TRect {0, 0, 580, 228}, uhd);
    QCOMPARE(h.guide.style()->rect(), (TRect {0, 0, 0, 0}));
}

void TestGuide::userRatio_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<TRect>("area");
    QTest::addColumn<QString>("absolute"); // width:height typed before
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("ratio");

    QTest::newRow("full follows the area") << 0 << uhd << ""
                                           << "1.8963:1" << 18963;
    QTest::newRow("off with zero height") << -1 << TRect {0, 0, 4096, 0} << ""
                                          << "100.0000:1" << 1000000;
    QTest::newRow("fixed 16:9") << 1777778 << uhd << ""
                                << "1.7778:1" << 17778;
    QTest::newRow("fixed 2.4:1") << 2400000 << uhd << ""
                                 << "2.4000:1" << 24000;
    QTest::newRow("absolute size") << -3 << uhd << "1920:1080"
                                   << "1.7778:1" << 17778;
    QTest::newRow("absolute without height") << -3 << uhd << "1920:0"
                                             << "100.0000:1" << 1000000;
    QTest::newRow("user mode keeps its own") << -2 << uhd << ""
                                             << "2.39" << 0;
}

void TestGuide::userRatio()
{
    QFETCH(int, mode);
    QFETCH(TRect, area);
    QFETCH(QString, absolute);
    QFETCH(QString, text);
    QFETCH(int, ratio);

    Harness h;
    h.prepare(mode);
    Guide &g = h.guide;
    if (!absolute.isEmpty()) {
        g.setAllSignalsBlocked(true);
        g.widthEdit()->setText(absolute.section(QLatin1Char(':'), 0, 0));
        g.heightEdit()->setText(absolute.section(QLatin1Char(':'), 1, 1));
        g.updateAbsoluteWidth();
        g.updateAbsoluteHeight();
        g.setAllSignalsBlocked(false);
    }
    g.setAllSignalsBlocked(true);
    g.ratioEdit()->setText(QStringLiteral("0.0001"));
    g.updateAspectRatio();
    g.setAllSignalsBlocked(false);
    g.ratioEdit()->setText(QStringLiteral("2.39"));

    g.updateUserRatio(area);
    QCOMPARE(g.ratioEdit()->text(), text);
    if (ratio) {
        QCOMPARE(g.userRatio(), ratio);
        QCOMPARE(h.events.last(), QStringLiteral("GUIDE_FRAME_0_AR_NUM=%1").arg(ratio));
    } else {
        QVERIFY(h.events.isEmpty());
    }
}

void TestGuide::controlStates_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("scale");
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QString>("ratio");
    // Enabled states: fields, scale -, scale +, offset -, offset +, ratio -, relative; then ratio shown.
    QTest::addColumn<QList<bool>>("states");

    using B = QList<bool>;
    QTest::newRow("off disables all but the mode") << -1 << "50"
                                                   << "0"
                                                   << "2" << B {0, 0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("full at 100%") << 0 << "100"
                                  << "0"
                                  << "2" << B {1, 1, 0, 1, 1, 1, 1, 0};
    QTest::newRow("scale at 0%") << 0 << "0"
                                 << "0"
                                 << "2" << B {1, 0, 1, 1, 1, 1, 1, 0};
    QTest::newRow("offset at -100%") << 0 << "50"
                                     << "-100"
                                     << "0.0001" << B {1, 1, 1, 0, 1, 0, 1, 0};
    QTest::newRow("offset at +100%") << 0 << "50"
                                     << "100"
                                     << "2" << B {1, 1, 1, 1, 0, 1, 1, 0};
    QTest::newRow("user mode shows the ratio") << -2 << "50"
                                               << "0"
                                               << "2" << B {1, 1, 1, 1, 1, 1, 1, 1};
    QTest::newRow("ratio at its floor") << -2 << "50"
                                        << "0"
                                        << "0.0001" << B {1, 1, 1, 1, 1, 0, 1, 1};
    QTest::newRow("absolute is never relative") << -3 << "50"
                                                << "0"
                                                << "2" << B {1, 1, 1, 1, 1, 1, 0, 0};
}

void TestGuide::controlStates()
{
    QFETCH(int, mode);
    QFETCH(QString, scale);
    QFETCH(QString, offset);
    QFETCH(QString, ratio);
    QFETCH(QList<bool>, states);

    Harness h(1);
    h.guide.ratioEdit()->setText(ratio);
    h.prepare(mode, scale, offset);
    Guide &g = h.guide;
    QVERIFY(g.modeCombo()->isEnabled());
    QCOMPARE(g.scaleEdit()->isEnabled(), states[0]);
    QCOMPARE(g.offsetXEdit()->isEnabled(), states[0]);
    QCOMPARE(g.lineTypeCombo()->isEnabled(), states[0]);
    QCOMPARE(g.infoLabel()->isEnabled(), states[0]);
    QCOMPARE(g.scaleMinusButton()->isEnabled(), states[1]);
    QCOMPARE(g.scalePlusButton()->isEnabled(), states[2]);
    QCOMPARE(g.offsetXMinusButton()->isEnabled(), states[3]);
    QCOMPARE(g.offsetXPlusButton()->isEnabled(), states[4]);
    QCOMPARE(g.ratioMinusButton()->isEnabled(), states[5]);
    QCOMPARE(g.relativeCheckBox()->isEnabled(), states[6]);
    QCOMPARE(g.ratioEdit()->isVisibleTo(&g), states[7]);
    QCOMPARE(g.ratioPlusButton()->isVisibleTo(&g), states[7]);
}

void TestGuide::absoluteModeKeepsRect()
{
    Harness h(0, true);
    h.prepare(1777778, QStringLiteral("50"), QStringLiteral("50"), QStringLiteral("-20"));
    Guide &g = h.guide;
    // 16:9 at 50% is 1920 x 1080; +50% and -20% of the free space put it at (1632, 432).
    QCOMPARE(g.rect(), (TRect {1632, 432, 1920, 1080}));

    h.selectMode(GuideGeometry::ModeAbsolute);
    QVERIFY(g.isAbsolute());
    QVERIFY(g.showsAbsoluteRow());
    QVERIFY(g.widthEdit()->isVisibleTo(&g));
    QVERIFY(!g.scaleEdit()->isVisibleTo(&g));
    QCOMPARE(g.rect(), (TRect {1632, 432, 1920, 1080}));
    QCOMPARE(g.widthEdit()->text(), QStringLiteral("1920px"));
    QCOMPARE(g.heightEdit()->text(), QStringLiteral("1080px"));
    QCOMPARE(g.offsetXEdit()->text(), QStringLiteral("544px"));
    QCOMPARE(g.offsetYEdit()->text(), QStringLiteral("-108px"));
    QCOMPARE(g.offsetXEdit()->type(), int(CustomLineEdit::Pixels));
    QCOMPARE(g.absoluteText(), QStringLiteral("544:-108:1920:1080"));
    // Tab goes from the mode to the width and height controls.
    QStringList chain;
    for (QWidget *w = g.modeCombo()->nextInFocusChain(); chain.size() < 6; w = w->nextInFocusChain()) {
        if (w->parentWidget() != &g)
            continue;
        chain << (w == g.widthEdit()  ? QStringLiteral("width")
                : w == g.heightEdit() ? QStringLiteral("height")
                                      : w->objectName());
    }
    QCOMPARE(chain, (QStringList {"minusButton", "width", "plusButton", "minusButton", "height", "plusButton"}));
    // Entering the mode stores no rectangle by itself.
    for (const QString &e : std::as_const(h.events))
        QVERIFY2(!e.startsWith(QLatin1String("GUIDE_FRAME_0_ABS")), qPrintable(e));

    h.events.clear();
    h.commit(g.offsetYEdit(), QStringLiteral("-50"));
    QCOMPARE(h.events, (QStringList {"GUIDE_FRAME_0_ABS=544:-50:1920:1080", "guideUpdated", "styleUpdated"}));
    QCOMPARE(g.rect(), (TRect {1632, 490, 1920, 1080}));

    h.selectMode(GuideGeometry::ModeFull);
    QVERIFY(!g.isAbsolute());
    QVERIFY(!g.showsAbsoluteRow());
    QVERIFY(g.scaleEdit()->isVisibleTo(&g));
    QVERIFY(!g.widthEdit()->isVisibleTo(&g));
    QCOMPARE(g.offsetXEdit()->text(), QStringLiteral("50.00%"));
    QCOMPARE(g.offsetYEdit()->text(), QStringLiteral("-20.00%"));
    QCOMPARE(g.offsetX(), 5000);
    QCOMPARE(g.offsetY(), -2000);
    QCOMPARE(g.rect(), (TRect {1536, 432, 2048, 1080}));
}

void TestGuide::absoluteModeWithoutLayout()
{
    LogCapture log;
    Guide guide(2, QStringLiteral("Title Guide"), true);
    guide.enableAbsoluteMode(true, uhd);
    QVERIFY(!guide.isAbsolute());
    QCOMPARE(log.messages(QStringLiteral("WARNING")),
        QStringList {
            QStringLiteral("scaleRow for [Title Guide] is -1. [Title Guide] was not added to the UI correctly.")});
}

void TestGuide::relativeAndBlocking()
{
    Harness h(1);
    h.prepare(GuideGeometry::ModeFull);
    Guide &g = h.guide;
    QVERIFY(!g.isRelative());
    g.relativeCheckBox()->click();
    QVERIFY(g.isRelative());

    g.setAllSignalsBlocked(true);
    h.events.clear();
    h.selectMode(1777778);
    h.commit(g.scaleEdit(), QStringLiteral("40"));
    g.relativeCheckBox()->click();
    QVERIFY(h.events.isEmpty());
    QVERIFY(!g.scalePlusButton()->signalsBlocked());
    g.setAllSignalsBlocked(false);
    g.offsetXPlusButton()->click();
    QCOMPARE(h.events, (QStringList {"GUIDE_FRAME_1_OFFSET_X_PERCENT=100", "guideUpdated", "styleUpdated"}));
}

void TestGuide::loadAbsoluteGuide()
{
    const QString path = m_dir.filePath(QStringLiteral("absolute.preset"));
    QVERIFY(TestSupport::buildPreset(
        presetSql({"'GUIDE_FRAME_1_MODE', -3", "'GUIDE_FRAME_1_AR_NUM', 17778", "'GUIDE_FRAME_1_SCALE', 9000",
            "'GUIDE_FRAME_1_ABS', '100:-50:1920:1080'", "'GUIDE_FRAME_1_OFFSET_X_PERCENT', 2500",
            "'GUIDE_FRAME_1_OFFSET_Y_PERCENT', -1000", "'GUIDE_FRAME_1_LINE_STYLE', 2", "'GUIDE_FRAME_1_COLOR', 4",
            "'GUIDE_FRAME_1_OPACITY', 75", "'GUIDE_FRAME_1_REL_TO_FRAME_0', 1"}),
        path));
    auto preset = openPreset(path);
    QVERIFY(preset);

    LogCapture log;
    Harness h(1, true);
    Guide &g = h.guide;
    // The panel's sequence: load and refresh silently, then compute and re-enter absolute mode.
    g.setAllSignalsBlocked(true);
    g.loadParameters(preset.get(), nullptr);
    g.refreshAll();
    g.setAllSignalsBlocked(false);
    QVERIFY(log.messages(QStringLiteral("ERROR")).isEmpty());
    QVERIFY(h.events.isEmpty());

    g.computeGeometry(uhd, 1.0f, false);
    QVERIFY(g.isAbsolute());
    QVERIFY(!g.isRelative());
    QCOMPARE(g.rect(), (TRect {1188, 490, 1920, 1080}));
    QCOMPARE(g.lineTypeCombo()->currentIndex(), 2);
    QCOMPARE(g.colorCombo()->currentData(), 4);
    QCOMPARE(g.opacityCombo()->currentData(), 75);
    QVERIFY(g.relativeCheckBox()->isChecked());
    QCOMPARE(g.scale(), 9000);

    g.enableAbsoluteMode(g.isAbsolute(), uhd);
    QVERIFY(g.showsAbsoluteRow());
    QCOMPARE(g.offsetXEdit()->text(), QStringLiteral("100px"));
    QCOMPARE(g.offsetYEdit()->text(), QStringLiteral("-50px"));
    QCOMPARE(g.widthEdit()->text(), QStringLiteral("1920px"));
    QCOMPARE(g.rect(), (TRect {1188, 490, 1920, 1080}));

    // Leaving absolute mode brings back the stored percentages, not the pixel offsets.
    h.selectMode(GuideGeometry::ModeFull);
    QCOMPARE(g.offsetXEdit()->text(), QStringLiteral("25.00%"));
    QCOMPARE(g.offsetYEdit()->text(), QStringLiteral("-10.00%"));
    QCOMPARE(g.offsetX(), 2500);
    QCOMPARE(g.offsetY(), -1000);
    QVERIFY(g.isRelative());

    // Loading the same preset again while the absolute row is shown keeps it consistent.
    h.selectMode(GuideGeometry::ModeAbsolute);
    g.setAllSignalsBlocked(true);
    g.loadParameters(preset.get(), nullptr);
    g.refreshAll();
    g.setAllSignalsBlocked(false);
    g.computeGeometry(uhd, 1.0f, false);
    g.enableAbsoluteMode(g.isAbsolute(), uhd);
    QCOMPARE(g.rect(), (TRect {1188, 490, 1920, 1080}));
    h.selectMode(GuideGeometry::ModeFull);
    QCOMPARE(g.offsetXEdit()->text(), QStringLiteral("25.00%"));
}

void TestGuide::loadClampsOffsetAndShowsRatio()
{
    const QString path = m_dir.filePath(QStringLiteral("user.preset"));
    QVERIFY(TestSupport::buildPreset(
        presetSql({"'GUIDE_FRAME_0_MODE', -2", "'GUIDE_FRAME_0_AR_NUM', 23900", "'GUIDE_FRAME_0_SCALE', 10000",
            "'GUIDE_FRAME_0_ABS', '0:0:1920:1080'", "'GUIDE_FRAME_0_OFFSET_X_PERCENT', 15000",
            "'GUIDE_FRAME_0_OFFSET_Y_PERCENT', 0", "'GUIDE_FRAME_0_LINE_STYLE', 9", "'GUIDE_FRAME_0_COLOR', 8",
            "'GUIDE_FRAME_0_OPACITY', 100"}),
        path));
    auto preset = openPreset(path);
    QVERIFY(preset);

    Harness h;
    Guide &g = h.guide;
    g.setAllSignalsBlocked(true);
    g.loadParameters(preset.get(), nullptr);
    QCOMPARE(g.offsetXEdit()->text(), QStringLiteral("150"));
    QCOMPARE(g.ratioEdit()->text(), QStringLiteral("2.39"));
    QCOMPARE(g.lineTypeCombo()->currentText(), QStringLiteral("Solid")); // unknown value
    g.refreshAll();
    g.setAllSignalsBlocked(false);
    QCOMPARE(g.offsetXEdit()->text(), QStringLiteral("100.00%"));
    QCOMPARE(g.offsetX(), 10000);
    QCOMPARE(g.ratioEdit()->text(), QStringLiteral("2.3900:1"));
    QCOMPARE(g.userRatio(), 23900);
    QCOMPARE(g.widthEdit()->text(), QStringLiteral("1920px"));
    QCOMPARE(g.absoluteWidth(), 1920);
}

void TestGuide::loadRelativeFlag_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("checked");
    QTest::newRow("one") << "1" << true;
    QTest::newRow("any non-zero") << "7" << true;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("text") << "'yes'" << false;
}

void TestGuide::loadRelativeFlag()
{
    QFETCH(QString, stored);
    QFETCH(bool, checked);
    const QString path = m_dir.filePath(QStringLiteral("relative-%1.preset").arg(QTest::currentDataTag()));
    QVERIFY(TestSupport::buildPreset(presetSql({"'GUIDE_FRAME_2_REL_TO_FRAME_0', " + stored}), path));
    auto preset = openPreset(path);
    QVERIFY(preset);
    Harness h(2);
    h.guide.relativeCheckBox()->setChecked(!checked);
    h.guide.loadParameters(preset.get(), nullptr);
    QCOMPARE(h.guide.relativeCheckBox()->isChecked(), checked);
}

void TestGuide::loadFillsFromTemplate()
{
    // An older preset: the action guide has a mode and nothing else, and the
    // template's rectangle text carries a quote that must stay data.
    const QString path = m_dir.filePath(QStringLiteral("old.preset"));
    QVERIFY(TestSupport::buildPreset(presetSql({"'GUIDE_FRAME_1_MODE', 0"}), path));
    const QString templatePath = m_dir.filePath(QStringLiteral("quoted-template.preset"));
    QString templateSql = defaultTemplateSql();
    templateSql.replace(QStringLiteral("'GUIDE_FRAME_1_ABS', '0:0:1728:972'"),
        QStringLiteral("'GUIDE_FRAME_1_ABS', '0:0:1728:972''); DROP TABLE parameters; --'"));
    QVERIFY(templateSql.contains(QLatin1String("DROP TABLE")));
    QVERIFY(TestSupport::buildPreset(templateSql, templatePath));

    auto preset = openPreset(path);
    auto defaults = std::make_unique<Database>(templatePath, false, 1);
    QVERIFY(preset && defaults->isOpen());

    LogCapture log;
    Harness h(1);
    h.guide.setAllSignalsBlocked(true);
    h.guide.loadParameters(preset.get(), defaults.get());
    h.guide.refreshAll();
    QVERIFY(log.messages(QStringLiteral("ERROR")).isEmpty());

    const auto rows = rowsOf(*preset);
    const auto expected = rowsOf(*defaults);
    QCOMPARE(rows.size(), 10);
    QCOMPARE(rows.value(QStringLiteral("GUIDE_FRAME_1_MODE")), (QPair<QString, QString> {"0", "integer"}));
    for (const char *pattern : {GuideParameters::FrameRatio, GuideParameters::FrameScale, GuideParameters::FrameOffsetX,
             GuideParameters::FrameOffsetY, GuideParameters::FrameLineStyle, GuideParameters::FrameColor,
             GuideParameters::FrameOpacity, GuideParameters::FrameRelative}) {
        const QString n = name(pattern, 1);
        QCOMPARE(rows.value(n), expected.value(n));
        QCOMPARE(rows.value(n).second, QStringLiteral("integer"));
    }
    QCOMPARE(rows.value(QStringLiteral("GUIDE_FRAME_1_ABS")),
        (QPair<QString, QString> {"0:0:1728:972'); DROP TABLE parameters; --", "text"}));

    // The controls show the template's values.
    QCOMPARE(h.guide.mode(), 0);
    QCOMPARE(h.guide.scale(), 9000);
    QCOMPARE(h.guide.lineTypeCombo()->currentData(), 1);
    QVERIFY(h.guide.relativeCheckBox()->isChecked());

    // A second load finds every row and inserts nothing more.
    h.guide.loadParameters(preset.get(), defaults.get());
    QCOMPARE(rowsOf(*preset).size(), 10);
}

void TestGuide::loadWithoutTemplate()
{
    const QString path = m_dir.filePath(QStringLiteral("sparse.preset"));
    QVERIFY(
        TestSupport::buildPreset(presetSql({"'GUIDE_FRAME_1_MODE', 1777778", "'GUIDE_FRAME_1_SCALE', 5000"}), path));
    auto preset = openPreset(path);
    QVERIFY(preset);

    LogCapture log;
    Harness h(1);
    h.guide.lineTypeCombo()->setCurrentIndex(2);
    h.guide.offsetXEdit()->setText(QStringLiteral("12"));
    h.guide.setAllSignalsBlocked(true);
    h.guide.loadParameters(preset.get(), nullptr);

    QStringList expected;
    for (const char *pattern : {GuideParameters::FrameLineStyle, GuideParameters::FrameColor,
             GuideParameters::FrameOpacity, GuideParameters::FrameRatio, GuideParameters::FrameAbsolute,
             GuideParameters::FrameOffsetX, GuideParameters::FrameOffsetY, GuideParameters::FrameRelative})
        expected << QStringLiteral("There is no entry for [%1] in the database and defaultTemplate is null.")
                        .arg(name(pattern, 1));
    QCOMPARE(log.messages(QStringLiteral("ERROR")), expected);
    QCOMPARE(rowsOf(*preset).size(), 2);
    QCOMPARE(h.guide.modeCombo()->currentData(), 1777778);
    QCOMPARE(h.guide.scaleEdit()->text(), QStringLiteral("50"));
    QCOMPARE(h.guide.lineTypeCombo()->currentIndex(), 2);
    QCOMPARE(h.guide.offsetXEdit()->text(), QStringLiteral("12"));
}

void TestGuide::loadEncryptedTemplate()
{
    QFile file(TestSupport::sourceDir() + QStringLiteral("/ovelin/data/templates/6.4.x/Default.sql"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString path = m_dir.filePath(QStringLiteral("Default-6.4.x.preset"));
    QVERIFY(TestSupport::buildPreset(QString::fromUtf8(file.readAll()), path));
    Database preset(path, true, 1);
    QVERIFY(preset.isOpen());

    LogCapture log;
    for (int index = 0; index < 3; ++index) {
        Harness h(index);
        h.guide.setAllSignalsBlocked(true);
        h.guide.loadParameters(&preset, nullptr);
        h.guide.refreshAll();
        h.guide.computeGeometry(uhd, 1.0f, false);
        QCOMPARE(h.guide.isActive(), index == 0);
        QCOMPARE(h.guide.isRelative(), index > 0);
        QCOMPARE(h.guide.scale(), 10000 - 1000 * index);
    }
    QVERIFY(log.messages(QStringLiteral("ERROR")).isEmpty());
}

QTEST_MAIN(TestGuide)
#include "tst_guide.moc"
