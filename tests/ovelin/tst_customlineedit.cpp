#include "guide/CustomLineEdit.h"

#include "TestSupport.h"

#include <QApplication>
#include <QFocusEvent>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>

class TestCustomLineEdit : public QObject {
    Q_OBJECT

private slots:
    void value_data();
    void value();
    void typeChangeRereadsText();
    void invalidType();
    void events_data();
    void events();
    void returnSelectsText();
};

void TestCustomLineEdit::value_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("operation");
    QTest::addColumn<float>("expected");
    QTest::addColumn<QString>("normal");

    const int inc = Operations::Increment;
    const int dec = Operations::Decrement;
    const int commit = Operations::Commit;
    const int percent = CustomLineEdit::Percent;
    const int signedPercent = CustomLineEdit::SignedPercent;
    const int pixels = CustomLineEdit::Pixels;
    const int ratio = CustomLineEdit::Ratio;

    QTest::newRow("percent typed") << percent << "50" << commit << 50.0f << "50.00%";
    QTest::newRow("percent above range") << percent << "150" << commit << 100.0f << "100.00%";
    QTest::newRow("percent below range") << percent << "-5" << commit << 0.0f << "0.00%";
    QTest::newRow("percent step keeps fraction") << percent << "12.345%" << inc << 13.345f << "13.35%";
    QTest::newRow("percent step clamps") << percent << "0.5%" << dec << 0.0f << "0.00%";
    QTest::newRow("percent unparseable") << percent << "abc" << commit << 0.0f << "0.00%";
    QTest::newRow("letters cut the number") << signedPercent << "12a34" << commit << 12.0f << "12.00%";
    QTest::newRow("signed percent below range") << signedPercent << "-150" << commit << -100.0f << "-100.00%";
    QTest::newRow("signed percent step down") << signedPercent << "-99.5%" << dec << -100.0f << "-100.00%";
    QTest::newRow("pixels step then round") << pixels << "-12.6px" << inc << -12.0f << "-12px";
    QTest::newRow("pixels half rounds away") << pixels << "2.5" << dec << 2.0f << "2px";
    QTest::newRow("pixels negative half") << pixels << "-2.5" << commit << -3.0f << "-3px";
    QTest::newRow("pixels typed") << pixels << "3840px" << commit << 3840.0f << "3840px";
    QTest::newRow("pixels beyond float precision") << pixels << "99999999999" << commit << 16777216.0f << "16777216px";
    QTest::newRow("ratio fraction") << ratio << "16:9" << commit << 16.0f / 9.0f << "1.7778:1";
    QTest::newRow("ratio decimal") << ratio << "2.39" << commit << 2.39f << "2.3900:1";
    QTest::newRow("ratio zero over zero") << ratio << "0:0" << commit << 0.0001f << "0.0001:1";
    QTest::newRow("ratio over zero") << ratio << "4:0" << commit << 0.0001f << "0.0001:1";
    QTest::newRow("ratio normal form reads back") << ratio << "1.7778:1" << commit << 1.7778f << "1.7778:1";
    QTest::newRow("ratio step") << ratio << "1.7778:1" << dec << 1.7777f << "1.7777:1";
    QTest::newRow("ratio floor") << ratio << "0.0001:1" << dec << 0.0001f << "0.0001:1";
    QTest::newRow("ratio negative text") << ratio << "-2:1" << commit << 0.0001f << "0.0001:1";
    QTest::newRow("ratio unparseable") << ratio << "wide" << commit << 0.0001f << "0.0001:1";
}

void TestCustomLineEdit::value()
{
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(int, operation);
    QFETCH(float, expected);
    QFETCH(QString, normal);

    CustomLineEdit edit(QStringLiteral("GUIDE_FRAME_0_SCALE"), type);
    edit.setText(text);
    QCOMPARE(edit.value(Operations::Operation(operation)), expected);
    QCOMPARE(edit.text(), normal);
}

void TestCustomLineEdit::typeChangeRereadsText()
{
    CustomLineEdit edit(QStringLiteral("GUIDE_FRAME_0_OFFSET_X_PERCENT"), CustomLineEdit::Pixels);
    edit.setText(QStringLiteral("-12px"));
    edit.setType(CustomLineEdit::SignedPercent);
    QCOMPARE(edit.value(Operations::Commit), -12.0f);
    QCOMPARE(edit.text(), QStringLiteral("-12.00%"));
    QCOMPARE(edit.name(), QStringLiteral("GUIDE_FRAME_0_OFFSET_X_PERCENT"));
}

void TestCustomLineEdit::invalidType()
{
    LogCapture log;
    CustomLineEdit edit(QStringLiteral("x"), 4);
    edit.setText(QStringLiteral("12"));
    QCOMPARE(edit.value(Operations::Increment), 0.0f);
    QCOMPARE(edit.text(), QStringLiteral("12"));
    QCOMPARE(log.messages(QStringLiteral("WARNING")), QStringList {QStringLiteral("Invalid type [4] specified.")});
}

enum EventKind { FocusOut, KeyReturn, KeyEnter, KeyUp, KeyDown, WheelAway, WheelToward, WheelNone, KeyLetter };

void TestCustomLineEdit::events_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QList<int>>("emitted");

    const QList<int> commit {Operations::Commit};
    const QList<int> inc {Operations::Increment};
    const QList<int> dec {Operations::Decrement};
    QTest::newRow("focus leaves") << int(FocusOut) << true << commit;
    QTest::newRow("return") << int(KeyReturn) << true << commit;
    QTest::newRow("enter") << int(KeyEnter) << true << commit;
    QTest::newRow("up") << int(KeyUp) << true << inc;
    QTest::newRow("down") << int(KeyDown) << true << dec;
    QTest::newRow("wheel away") << int(WheelAway) << true << inc;
    QTest::newRow("wheel toward") << int(WheelToward) << true << dec;
    QTest::newRow("wheel without delta") << int(WheelNone) << true << dec;
    QTest::newRow("typing") << int(KeyLetter) << true << QList<int> {};
    QTest::newRow("disabled ignores keys") << int(KeyUp) << false << QList<int> {};
    QTest::newRow("disabled ignores the wheel") << int(WheelAway) << false << QList<int> {};
    QTest::newRow("disabled ignores focus") << int(FocusOut) << false << QList<int> {};
}

void TestCustomLineEdit::events()
{
    QFETCH(int, kind);
    QFETCH(bool, enabled);
    QFETCH(QList<int>, emitted);

    CustomLineEdit edit(QStringLiteral("GUIDE_FRAME_0_SCALE"), CustomLineEdit::Percent);
    edit.setEnabled(enabled);
    QSignalSpy spy(&edit, &CustomLineEdit::valueUpdated);

    auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
            Qt::NoScrollPhase, false);
        QApplication::sendEvent(&edit, &event);
    };
    switch (EventKind(kind)) {
    case FocusOut: {
        QFocusEvent event(QEvent::FocusOut);
        QApplication::sendEvent(&edit, &event);
        break;
    }
    case KeyReturn:
        QTest::keyClick(&edit, Qt::Key_Return);
        break;
    case KeyEnter:
        QTest::keyClick(&edit, Qt::Key_Enter);
        break;
    case KeyUp:
        QTest::keyClick(&edit, Qt::Key_Up);
        break;
    case KeyDown:
        QTest::keyClick(&edit, Qt::Key_Down);
        break;
    case WheelAway:
        wheel(120);
        break;
    case WheelToward:
        wheel(-120);
        break;
    case WheelNone:
        wheel(0);
        break;
    case KeyLetter:
        QTest::keyClick(&edit, Qt::Key_A);
        break;
    }

    QList<int> seen;
    for (const QList<QVariant> &arguments : std::as_const(spy))
        seen.append(int(arguments.at(0).value<Operations::Operation>()));
    QCOMPARE(seen, emitted);
}

void TestCustomLineEdit::returnSelectsText()
{
    CustomLineEdit edit(QStringLiteral("GUIDE_FRAME_0_SCALE"), CustomLineEdit::Percent);
    // The owner normalises the text when it hears the commit.
    connect(&edit, &CustomLineEdit::valueUpdated, &edit, [&edit](Operations::Operation op) { edit.value(op); });
    edit.setText(QStringLiteral("42"));
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(edit.text(), QStringLiteral("42.00%"));
    QCOMPARE(edit.selectedText(), QStringLiteral("42.00%"));
    QTest::keyClick(&edit, Qt::Key_7);
    QCOMPARE(edit.text(), QStringLiteral("7"));
}

QTEST_MAIN(TestCustomLineEdit)
#include "tst_customlineedit.moc"
