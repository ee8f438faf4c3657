// The core's message-box styles shown as Qt boxes, in Japanese, and the answers they give.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include "common/hooks.h"
#include "ui/qt/japanese_desktop.h"
#include "ui/qt/message_box.h"

using Buttons = QMessageBox::StandardButtons;

class MessageBoxTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(ui::loadQtJapanese(translator_));
        QApplication::installTranslator(&translator_);
    }

    void styleChoosesButtonsIconAndDefault_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<QMessageBox::StandardButton>("defaultButton");
        const Buttons ok = QMessageBox::Ok;
        const Buttons yesNo = QMessageBox::Yes | QMessageBox::No;
        QTest::newRow("48") << 48 << ok << QMessageBox::Warning << QMessageBox::Ok;
        QTest::newRow("64") << 64 << ok << QMessageBox::Information << QMessageBox::Ok;
        QTest::newRow("4") << 4 << yesNo << QMessageBox::NoIcon << QMessageBox::Yes;
        QTest::newRow("308") << 308 << yesNo << QMessageBox::Warning << QMessageBox::No;
    }

    void styleChoosesButtonsIconAndDefault() {
        QFETCH(int, style);
        QFETCH(Buttons, buttons);
        QFETCH(QMessageBox::Icon, icon);
        QFETCH(QMessageBox::StandardButton, defaultButton);
        const auto box = ui::makeMessageBox(nullptr, "text", style, "確認");
        QCOMPARE(box->standardButtons(), buttons);
        QCOMPARE(box->icon(), icon);
        QCOMPARE(box->standardButton(box->defaultButton()), defaultButton);
        QCOMPARE(box->windowTitle(), QString::fromUtf8("確認"));
    }

    void promptIsPlainTextWithLineBreaks() {
        const auto box = ui::makeMessageBox(nullptr, "(/d/<b>x</b>.mdb) できませんでした。\r\rログ", 308, "確認");
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QCOMPARE(box->text(), QString::fromUtf8("(/d/<b>x</b>.mdb) できませんでした。\n\nログ"));
    }

    void buttonsSpeakJapanese() {
        const auto box = ui::makeMessageBox(nullptr, "text", 308, "確認");
        static const QRegularExpression mnemonic(QStringLiteral("\\(&.\\)"));  // "はい(&Y)": Y is its key
        QCOMPARE(box->button(QMessageBox::Yes)->text().remove(mnemonic), QString::fromUtf8("はい"));
        QCOMPARE(box->button(QMessageBox::No)->text().remove(mnemonic), QString::fromUtf8("いいえ"));
    }

    void answerIsTheButtonPressed_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("answer");
        QTest::newRow("enter on OK") << 48 << int(Qt::Key_Return) << repairM::vbOK;
        QTest::newRow("enter takes the default") << 308 << int(Qt::Key_Return) << repairM::vbNo;
        QTest::newRow("escape is no") << 308 << int(Qt::Key_Escape) << repairM::vbNo;
        QTest::newRow("y is yes") << 308 << int(Qt::Key_Y) << repairM::vbYes;
    }

    void answerIsTheButtonPressed() {
        QFETCH(int, style);
        QFETCH(int, key);
        QFETCH(int, answer);
        QTimer::singleShot(0, this, [key] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key(key)); });
        QCOMPARE(ui::execMessageBox(nullptr, "text", style, "確認"), answer);
    }

private:
    QTranslator translator_;
};

QTEST_MAIN(MessageBoxTest)
#include "message_box_test.moc"
