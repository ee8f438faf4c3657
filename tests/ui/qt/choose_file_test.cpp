// Choosing a file: the option its path selects, what the window shows, a cancelled choice.
#include <QLabel>
#include <QTest>

#include "ui/qt/qt_narrow_text.h"
#include "ui/qt/qt_window_harness.h"

class ChooseFileTest : public QObject {
    Q_OBJECT

private slots:
    void narrowFormIsLowerCaseAndSingleWidth_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("narrow");
        QTest::newRow("katakana folder") << "ユーザー" << "ﾕｰｻﾞｰ";
        QTest::newRow("voiced and small kana") << "データベース・ショップ" << "ﾃﾞｰﾀﾍﾞｰｽ･ｼｮｯﾌﾟ";
        QTest::newRow("wide capitals") << "ＡＢＣ" << "abc";
        QTest::newRow("wide digits, symbols, space") << "１２３／（ａ）　ｂ" << "123/(a) b";
        QTest::newRow("kanji and hiragana stay") << "作業の設計書" << "作業の設計書";
        QTest::newRow("a path") << "/home/ＵＳＥＲ/ユーザー/Data.MDB" << "/home/user/ﾕｰｻﾞｰ/data.mdb";
    }

    void narrowFormIsLowerCaseAndSingleWidth() {
        QFETCH(QString, text);
        QFETCH(QString, narrow);
        QCOMPARE(QString::fromStdString(ui::toNarrowLower(text.toStdString())), narrow);
    }

    void pathWordSelectsTheKind_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("option");
        QTest::newRow("work") << "/d/作業/f.mdb" << 0;
        QTest::newRow("design") << "/d/設計書/f.mdb" << 1;
        QTest::newRow("standard") << "/d/標準/f.mdb" << 2;
        QTest::newRow("user") << "/d/ﾕｰｻﾞｰ/f.mdb" << 3;
        QTest::newRow("user in wide katakana") << "/d/ユーザー/f.mdb" << 3;
        QTest::newRow("learning") << "/d/学習/f.mdb" << 4;
        QTest::newRow("other") << "/d/その他/f.mdb" << 5;
        QTest::newRow("system") << "/d/sys/f.mdb" << 6;
        QTest::newRow("sys in wide capitals") << "/D/ＳＹＳＴＥＭ/F.MDB" << 6;
        QTest::newRow("sys inside a name, and first") << "/d/作業/qnsysdata.mdb" << 6;
        QTest::newRow("word order decides, not position") << "/d/学習/作業.mdb" << 0;
    }

    void pathWordSelectsTheKind() {
        QFETCH(QString, path);
        QFETCH(int, option);
        WindowHarness window;
        window.click(option == 2 ? "Option5" : "Option2");
        window.choose(path.toStdString());
        QCOMPARE(window.checkedOption(), option);
        QVERIFY(window.control<QWidget>("Command1")->isEnabled());
    }

    void pathWithoutAWordKeepsTheSelection() {
        WindowHarness window;
        window.click("Option4");
        window.choose("/d/misc/f.mdb");
        QCOMPARE(window.checkedOption(), 4);
    }

    void labelShowsThePathAsChosen() {
        WindowHarness window;
        const auto* label = window.control<QLabel>("Label");
        window.choose("/Data/ユーザー/ＡＢＣ/File.MDB");
        QCOMPARE(label->text(), QString::fromUtf8("/Data/ユーザー/ＡＢＣ/File.MDB"));

        const std::string longPath = "/d/" + std::string(200, 'x') + "/f.mdb";
        window.choose(longPath);
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
        QVERIFY(label->text().endsWith(QStringLiteral("/f.mdb")));
        QCOMPARE(label->toolTip().toStdString(), longPath);
    }

    void cancelledChoiceChangesNothing() {
        WindowHarness window;
        const QString prompt = window.control<QLabel>("Label")->text();
        window.choose(std::nullopt);
        QVERIFY(!window.control<QWidget>("Command1")->isEnabled());
        QCOMPARE(window.control<QLabel>("Label")->text(), prompt);

        window.choose("/d/作業/f.mdb");
        window.choose(std::nullopt);
        QVERIFY(window.control<QWidget>("Command1")->isEnabled());
        QCOMPARE(window.control<QLabel>("Label")->text(), QString::fromUtf8("/d/作業/f.mdb"));
    }
};

QTEST_MAIN(ChooseFileTest)
#include "choose_file_test.moc"
