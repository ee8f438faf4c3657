#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "window_layout.h"
#include "window_services.h"

class QButtonGroup;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

// The tool's only window: the user picks a file, sees (and may change) the kind of data
// its path suggests, repairs it while a four-step bar advances, and reads the outcome.
// Controls carry the object names of the design ("Command1", "Option3", ...).
class repairF : public QDialog {
    Q_OBJECT

public:
    explicit repairF(ui::WindowServices services, QWidget* parent = nullptr);

    // One finished step of the running repair: the bar advances and is drawn at once.
    void stepProgress();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void chooseFile();
    void runRepair();
    // Shows `outcome` and, when there is a log, offers to open it.
    void offerLog(const std::string& outcome);
    // Hides the bar, beeps and shows an outcome box titled "確認"; returns the answer.
    int announce(const std::string& prompt, int style);
    std::string selectedKindKey() const;
    void showPath();

    ui::WindowServices services_;
    // The chosen file exactly as chosen: it is the one repaired.
    std::string path_;
    bool running_ = false;

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
