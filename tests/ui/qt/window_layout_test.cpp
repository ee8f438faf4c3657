// The window as it opens: caption, controls where the design puts them, start state.
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "ui/qt/qt_window_harness.h"

class WindowLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void captionAndSize() {
        WindowHarness window;
        QCOMPARE(window.form->windowTitle(), QString::fromUtf8("データファイルの修復 ver " QN_PROJECT_VERSION));
        QCOMPARE(window.form->size(), QSize(537, 194));
        QCOMPARE(window.form->minimumSize(), window.form->maximumSize());
    }

    void controlsStandWhereTheDesignPutsThem_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");  // the design's twips divided by 15
        QTest::newRow("Label2") << "修復するファイル" << QRect(16, 16, 281, 25);
        QTest::newRow("Label") << "修復するファイルを指定してください。" << QRect(16, 48, 481, 25);
        QTest::newRow("Command2") << "_" << QRect(504, 48, 17, 25);
        QTest::newRow("Label1") << "データ種類" << QRect(16, 80, 129, 25);
        QTest::newRow("Option0") << "作業" << QRect(424, 80, 97, 25);
        QTest::newRow("Option1") << "設計書" << QRect(16, 112, 97, 25);
        QTest::newRow("Option2") << "標準" << QRect(120, 112, 97, 25);
        QTest::newRow("Option3") << "ﾕｰｻﾞｰ" << QRect(216, 112, 97, 25);
        QTest::newRow("Option4") << "学習" << QRect(320, 112, 97, 25);
        QTest::newRow("Option5") << "その他" << QRect(424, 112, 97, 25);
        QTest::newRow("Option6") << "システム" << QRect(320, 80, 97, 25);
        QTest::newRow("ProgressBar1") << "" << QRect(16, 152, 273, 33);
        QTest::newRow("Command1") << "修復実行" << QRect(312, 152, 105, 33);
        QTest::newRow("Command3") << "キャンセル" << QRect(432, 152, 97, 33);
    }

    void controlsStandWhereTheDesignPutsThem() {
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        WindowHarness window;
        const QWidget* control = window.control<QWidget>(QTest::currentDataTag());
        QVERIFY(control != nullptr);
        QCOMPARE(control->geometry(), geometry);
        if (!caption.isEmpty()) QCOMPARE(control->property("text").toString(), caption);
    }

    void opensWaitingForAFile() {
        WindowHarness window;
        QCOMPARE(window.checkedOption(), 1);
        QVERIFY(!window.control<QWidget>("Command1")->isEnabled());
        const auto* bar = window.control<QProgressBar>("ProgressBar1");
        QVERIFY(!bar->isVisible());
        QCOMPARE(bar->value(), 0);
        QCOMPARE(bar->maximum(), 4);
    }

    void tabFollowsTheDesignsOrder() {
        WindowHarness window;
        window.control<QWidget>("Command1")->setEnabled(true);
        QStringList chain;
        QWidget* widget = window.control<QWidget>("Command3");
        do {
            if (widget->focusPolicy() & Qt::TabFocus) chain << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != window.control<QWidget>("Command3"));
        QCOMPARE(chain, (QStringList{"Command3", "Command1", "Command2", "Option1", "Option2", "Option3", "Option4",
                                     "Option5", "Option6", "Option0"}));
    }

    void cancelEndsTheModalWindow() {
        WindowHarness window;
        QTimer::singleShot(0, window.form.get(), [&window] { window.click("Command3"); });
        window.form->exec();  // returns only once the window has closed
        QVERIFY(!window.form->isVisible());
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
