#include "app/ComboBox.h"
#include "app/CustomComboBox.h"

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QtTest>

namespace {
QColor textColor(const QWidget &w)
{
    return w.palette().color(QPalette::Active, QPalette::Text);
}

void focus(QWidget &w, QEvent::Type type)
{
    QFocusEvent e(type, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&w, &e);
}

const QColor focusedText(0xF0, 0xF0, 0xF0);
const QColor idleText(0x00, 0x00, 0x00);
const QColor disabledText(0x40, 0x40, 0x40);
}

class TestComboBoxes : public QObject
{
    Q_OBJECT

private slots:
    void focusAndEnabledColours_data();
    void focusAndEnabledColours();
    void colorComboKeepsPaletteOnFocus();
    void paletteCoversAllGroups();
    void setCurrentData_data();
    void setCurrentData();
    void clickOpensListAndEmitsPressed();
};

void TestComboBoxes::focusAndEnabledColours_data()
{
    QTest::addColumn<bool>("custom");
    QTest::newRow("ComboBox") << false;
    QTest::newRow("CustomComboBox") << true;
}

void TestComboBoxes::focusAndEnabledColours()
{
    QFETCH(bool, custom);
    QScopedPointer<QComboBox> box(custom ? static_cast<QComboBox *>(new CustomComboBox("GUIDE_X"))
                                         : static_cast<QComboBox *>(new ComboBox));
    focus(*box, QEvent::FocusIn);
    QCOMPARE(textColor(*box), focusedText);
    focus(*box, QEvent::FocusOut);
    QCOMPARE(textColor(*box), idleText);

    focus(*box, QEvent::FocusIn);
    box->setEnabled(false);
    QCOMPARE(textColor(*box), disabledText);
    box->setEnabled(true); // enabling wins over focus
    QCOMPARE(textColor(*box), idleText);
}

void TestComboBoxes::colorComboKeepsPaletteOnFocus()
{
    CustomComboBox box;
    box.setObjectName("colorCombo");
    QPalette own = box.palette();
    own.setColor(QPalette::Text, Qt::red);
    box.setPalette(own);
    focus(box, QEvent::FocusIn);
    QCOMPARE(textColor(box), QColor(Qt::red));
    focus(box, QEvent::FocusOut);
    QCOMPARE(textColor(box), QColor(Qt::red));
    box.setEnabled(false);
    QCOMPARE(textColor(box), disabledText);
}

void TestComboBoxes::paletteCoversAllGroups()
{
    ComboBox box;
    focus(box, QEvent::FocusIn);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        QCOMPARE(box.palette().color(g, QPalette::Text), focusedText);
}

void TestComboBoxes::setCurrentData_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("data");
    QTest::newRow("exact match") << "7" << 2 << 7;
    QTest::newRow("no match selects first") << "99" << 0 << 3;
    QTest::newRow("not a number looks for 0") << "abc" << 1 << 0;
    QTest::newRow("negative") << "-1" << 3 << -1;
}

void TestComboBoxes::setCurrentData()
{
    QFETCH(QString, value);
    QFETCH(int, index);
    QFETCH(int, data);
    CustomComboBox box("GUIDE_FRAME_1_MODE");
    QCOMPARE(box.name(), QString("GUIDE_FRAME_1_MODE"));
    box.addItem("three", 3);
    box.addItem("zero", 0);
    box.addItem("seven", 7);
    box.addItem("minus", -1);
    box.setCurrentIndex(3);
    box.setCurrentData(value);
    QCOMPARE(box.currentIndex(), index);
    QCOMPARE(box.currentData(), data);

    CustomComboBox empty;
    QVERIFY(empty.name().isEmpty());
    QCOMPARE(empty.currentData(), 0);
}

void TestComboBoxes::clickOpensListAndEmitsPressed()
{
    ComboBox box;
    box.addItems({"a", "b"});
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy pressed(&box, &ComboBox::pressed);
    QTest::mouseClick(&box, Qt::LeftButton);
    QCOMPARE(pressed.count(), 1);
    QTRY_VERIFY(box.view()->isVisible());
    box.hidePopup();
}

QTEST_MAIN(TestComboBoxes)
#include "tst_comboboxes.moc"
