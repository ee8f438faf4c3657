// Running a repair: what is repaired, the bar at every step, the outcome boxes.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "common/module_state.h"
#include "ui/qt/qt_window_harness.h"
#include "ui/qt/qt_window_hooks.h"

namespace {

std::pair<bool, int> barOf(WindowHarness& window) {
    const auto* bar = window.control<QProgressBar>("ProgressBar1");
    return {bar->isVisible(), bar->value()};
}

}  // namespace

class RunRepairTest : public QObject {
    Q_OBJECT

private slots:
    void chosenPathIsRepairedNotItsNarrowForm() {
        WindowHarness window;
        const std::string path = window.makeFile("ユーザー/Data.MDB");
        window.choose(path);
        window.click("Command1");
        using Call = std::pair<std::string, std::string>;
        QCOMPARE(window.desktop.repairs, (std::vector<Call>{{path, "QHGAFE5136"}}));
    }

    void optionGivesItsKindKey() {
        WindowHarness window;
        window.choose(window.makeFile("f.mdb"));
        for (int i = 0; i < 7; ++i) {
            window.click(qPrintable(QStringLiteral("Option%1").arg(i)));
            window.click("Command1");
        }
        std::vector<std::string> keys;
        for (const auto& call : window.desktop.repairs) keys.push_back(call.second);
        QCOMPARE(keys, (std::vector<std::string>{"QHTEVZ5136", "QHWUNK5136", "QHRIPO5136", "QHGAFE5136", "QHZOLU5136",
                                                 "QHBEXI5136", "QHMOR5136"}));
    }

    void barAdvancesWithEveryStep() {
        WindowHarness window;
        std::vector<std::pair<bool, int>> steps;
        window.desktop.repair = [&](auto&, auto&) {
            steps.push_back(barOf(window));
            for (int i = 0; i < 3; ++i) {
                repairM::StepProgress();
                steps.push_back(barOf(window));
            }
            return true;
        };
        window.choose(window.makeFile("f.mdb"));
        for (int run = 0; run < 2; ++run) {
            steps.clear();
            window.click("Command1");
            QCOMPARE(steps, (std::vector<std::pair<bool, int>>{{true, 1}, {true, 2}, {true, 3}, {true, 4}}));
        }
    }

    // The outcomes and their texts are the flow's (window_flow_test); here the one that uses the
    // most of the view: the box with the bar hidden behind it, the beep, the answer, the log opened.
    void failureOffersTheLogAndOpensIt() {
        WindowHarness window;
        const std::string path = window.makeFile("作業/f.mdb");
        window.desktop.repair = [&](auto&, auto&) {
            std::ofstream(repairM::LogPath) << "reason\r\n";
            return false;
        };
        window.desktop.yesNoAnswer = repairM::vbYes;
        window.choose(path);
        window.click("Command1");

        QCOMPARE(window.desktop.boxes.size(), std::size_t{1});
        const ShownBox& box = window.desktop.boxes[0];
        QCOMPARE(box.prompt, "ファイル　(" + path + ") を修復できませんでした。\r\rログを確認しますか。");
        QCOMPARE(box.style, 308);
        QCOMPARE(box.title, std::string("確認"));
        QVERIFY(!box.barVisible);
        QCOMPARE(window.desktop.beeps, 1);
        QCOMPARE(window.desktop.openedLogs, std::vector<std::string>{repairM::LogPath});
        QCOMPARE(barOf(window), std::make_pair(false, 0));
    }

    void coreErrorBoxStandsOverTheWindow() {
        WindowHarness window;
        QMessageBox* shown = nullptr;
        QString seen;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (shown == nullptr) return;
            poll.stop();
            seen = shown->windowTitle() + "|" + shown->text();
            QCOMPARE(shown->icon(), QMessageBox::Information);
            QCOMPARE(shown->parentWidget(), window.form.get());
            shown->button(QMessageBox::Ok)->click();
        });
        window.desktop.repair = [&](auto&, auto&) {
            poll.start(10);
            repairM::showErrorBox("説明");
            return false;
        };
        window.choose(window.makeFile("f.mdb"));
        window.click("Command1");
        QCOMPARE(seen, QString::fromUtf8("エラー|説明"));
        QCOMPARE(window.desktop.boxes.size(), std::size_t{1});  // then the window's own failure box
    }

    void windowStaysOpenWhileARepairRuns() {
        WindowHarness window;
        bool closed = true;
        window.desktop.repair = [&](auto&, auto&) {
            closed = window.form->close();
            return true;
        };
        window.choose(window.makeFile("f.mdb"));
        window.click("Command1");
        QVERIFY(!closed);
        QVERIFY(window.form->isVisible());
    }

    void stepProgressWithoutAWindowDoesNothing() { ui::StepProgress(); }
};

QTEST_MAIN(RunRepairTest)
#include "run_repair_test.moc"
