#include "ui/qt/qt_window_harness.h"

#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "common/module_state.h"
#include "ui/qt/qt_window_hooks.h"

ui::DesktopServices FakeDesktop::services() {
    return {
        .chooseFile =
            [this](QWidget*, const ui::FileChooserSettings&) {
                const std::optional<std::string> choice = choices.front();
                choices.pop_front();
                return choice;
            },
        .messageBox =
            [this](QWidget* parent, const std::string& prompt, int style, const std::string& title) {
                const auto* bar = parent->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
                boxes.push_back({prompt, style, title, bar->isVisible(), bar->value()});
                return (style & 0x0F) == repairM::vbYesNo ? yesNoAnswer : repairM::vbOK;
            },
        .beep = [this] { ++beeps; },
        .openLog = [this](const std::string& path) { openedLogs.push_back(path); },
    };
}

ui::CoreServices FakeDesktop::core() {
    return {
        .fileExists = [](const std::string& path) { return std::filesystem::is_regular_file(path); },
        .repair =
            [this](const std::string& path, const std::string& kindKey) {
                repairs.emplace_back(path, kindKey);
                return RepairOutcome{repair(path, kindKey), {}};
            },
        .toolDirectory = repairM::toolDirectory(),
        .logPath = repairM::LogPath,
    };
}

WindowHarness::WindowHarness() {
    repairM::setToolDirectory(toolDirectory());
    repairM::installHooks(ui::showMessageBox, ui::StepProgress);
    form = std::make_unique<repairF>(desktop.services(), desktop.core());
    form->show();
}

WindowHarness::~WindowHarness() {
    form.reset();
    repairM::installHooks({}, {});
}

void WindowHarness::click(const char* name) {
    auto* button = control<QAbstractButton>(name);
    // An option button answers clicks on its mark and caption only, not on the rest of its box.
    const QPoint at = qobject_cast<QRadioButton*>(button) ? QPoint(6, button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

void WindowHarness::choose(const std::optional<std::string>& path) {
    desktop.choices.push_back(path);
    click("Command2");
}

int WindowHarness::checkedOption() {
    for (int i = 0; i < static_cast<int>(ui::layout::kKindOptions.size()); ++i)
        if (control<QRadioButton>(qPrintable(QStringLiteral("Option%1").arg(i)))->isChecked()) return i;
    return -1;
}

std::string WindowHarness::makeFile(const std::string& relativePath) const {
    const std::filesystem::path path = std::filesystem::path(toolDirectory()) / relativePath;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream{path};
    return path.string();
}
