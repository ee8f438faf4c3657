#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "ui/qt/desktop_services.h"
#include "ui/repair_flow.h"
#include "ui/window_layout.h"
#include "ui/window_view.h"

class QButtonGroup;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

// The tool's only window in Qt: the controls of window_layout.h, carrying its design names
// as object names ("Command1", "Option3", ...), over the shared flow.
class repairF : public QDialog, private ui::WindowView {
    Q_OBJECT

public:
    repairF(ui::DesktopServices desktop, ui::CoreServices core, QWidget* parent = nullptr);

    // One finished step of the running repair: the bar advances and is drawn at once.
    void stepProgress();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();

    void showPath(const std::string& path) override;
    void setStartEnabled(bool enabled) override;
    void showBar(bool visible) override;
    void setBarValue(int value) override;
    void drawNow() override;
    std::optional<int> checkedOption() const override;
    void checkOption(int index) override;
    void closeWindow() override;
    std::optional<std::string> chooseFile(const ui::FileChooserSettings& settings) override;
    int messageBox(const std::string& prompt, int style, const std::string& title) override;
    void beep() override;
    void openLog(const std::string& path) override;
    std::string narrowLower(const std::string& text) const override;

    ui::DesktopServices desktop_;
    ui::RepairFlow flow_;

    QLabel* Label2;
    QLabel* Label;
    QPushButton* Command2;
    QLabel* Label1;
    std::array<QRadioButton*, ui::layout::kKindOptions.size()> Option;
    QButtonGroup* optionGroup_;
    QProgressBar* ProgressBar1;
    QPushButton* Command1;
    QPushButton* Command3;
};
