// The window over the real repair, as in window mode, on files that qndb makes.
#include <QProgressBar>
#include <QTest>
#include <filesystem>

#include "database/engine/db_engine.h"
#include "common/messages.h"
#include "common/module_state.h"
#include "driver/repair_driver.h"
#include "support/test_support.h"
#include "ui/qt/qt_window_harness.h"
#include "ui/qt/qt_window_hooks.h"

namespace {

std::string qndb(std::vector<std::string> args) {
    args.insert(args.begin(), testsupport::binPath("qndb"));
    const testsupport::ProcessResult result = testsupport::run(args);
    if (result.exitCode != 0) qWarning("qndb: %s", result.err.c_str());
    return result.out;
}

std::string dataFile(const WindowHarness& window, const std::string& relativePath, const std::string& kind) {
    const std::string path = window.toolDirectory() + "/" + relativePath;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    qndb({"create", path, kind, "--rows", "10"});
    return path;
}

}  // namespace

class WindowRepairEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void repairsThroughTheWindow() {
        WindowHarness window;
        // What Main prepares before it shows the window.
        qndb({"workgroup", repairM::workgroupPath(), msg::kWorkspaceUser, msg::kWorkspacePassword});
        std::filesystem::create_directories(repairM::scratchFolder());
        engine::DBEngine::instance().setSystemDB(repairM::workgroupPath());
        window.desktop.repair = RepairDataFile;
        std::vector<int> steps;
        repairM::installHooks(ui::showMessageBox, [&] {
            ui::StepProgress();
            steps.push_back(window.control<QProgressBar>("ProgressBar1")->value());
        });

        // A damaged design file below a folder with capitals and wide katakana.
        const std::string design = dataFile(window, "データ/設計書/Design.MDB", "design");
        qndb({"damage", design, "QHWUNK5136", "drop-index", "T010", "Key00"});
        window.choose(design);
        window.click("Command1");
        QCOMPARE(steps, (std::vector<int>{2, 3, 4}));
        QCOMPARE(window.desktop.boxes.back().prompt, "ファイル　(" + design + ") を修復しました。");
        const std::string described = qndb({"describe", design, "QHWUNK5136"});
        const std::size_t t010 = described.find("T010:");
        const std::string t010Indexes = described.substr(t010, described.find("T014:") - t010);
        QVERIFY(t010Indexes.find("Key00 (L000, A000)") != std::string::npos);

        // A kind the tool compacts but cannot rebuild: the log says why and is offered.
        const std::string user = dataFile(window, "ユーザー/User.MDB", "user");
        window.choose(user);
        window.click("Command1");
        QCOMPARE(window.desktop.boxes.back().prompt,
                 "ファイル　(" + user + ") を修復できませんでした。\r\rログを確認しますか。");
        QVERIFY(std::filesystem::exists(repairM::LogPath));
        QCOMPARE(testsupport::integrityCheck(user), std::string("ok"));
    }
};

QTEST_MAIN(WindowRepairEndToEndTest)
#include "window_repair_end_to_end_test.moc"
