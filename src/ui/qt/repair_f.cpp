#include "repair_f.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <algorithm>
#include <utility>
#include <vector>

#include "hooks.h"
#include "messages.h"
#include "module_state.h"
#include "narrow_text.h"
#include "path_kind.h"
#include "ui_texts.h"

namespace {

QString utf8(const char* text) { return QString::fromUtf8(text); }

// The design places everything in twips; 15 twips make one pixel.
constexpr int kTwipsPerPixel = 15;

QRect fromTwips(int left, int top, int width, int height) {
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel};
}

template <class Control>
Control* place(Control* control, const QString& name, int left, int top, int width, int height) {
    control->setObjectName(name);
    control->setGeometry(fromTwips(left, top, width, height));
    return control;
}

constexpr int kClientWidth = 8055;
constexpr int kClientHeight = 2910;
constexpr int kOptionWidth = 1455;
constexpr int kOptionHeight = 375;

struct OptionPlace {
    int left;
    int top;
    int tab;
};

// By option index, as ui::text::kKindOptions.
constexpr std::array<OptionPlace, ui::text::kKindOptions.size()> kOptionPlaces = {{
    {6360, 1200, 11},
    {240, 1680, 4},
    {1800, 1680, 5},
    {3240, 1680, 6},
    {4800, 1680, 7},
    {6360, 1680, 8},
    {4800, 1200, 10},
}};

constexpr int kProgressSteps = 4;

QString caption() {
    return utf8(ui::text::kCaption) + utf8(ui::text::kVersionWord) + QString::number(QN_VERSION_MAJOR) +
           QLatin1Char('.') + QString::number(QN_VERSION_MINOR) + QLatin1Char('.') + QString::number(QN_VERSION_PATCH);
}

}  // namespace

repairF::repairF(ui::WindowServices services, QWidget* parent) : QDialog(parent), services_(std::move(services)) {
    setObjectName(QStringLiteral("repairF"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(caption());
    setFixedSize(fromTwips(0, 0, kClientWidth, kClientHeight).size());
    createControls();
}

void repairF::createControls() {
    using namespace ui::text;
    Label2 = place(new QLabel(utf8(kFileHeading), this), QStringLiteral("Label2"), 240, 240, 4215, 375);
    Label = place(new QLabel(utf8(kFilePrompt), this), QStringLiteral("Label"), 240, 720, 7215, 375);
    Command2 = place(new QPushButton(utf8(kChooseButton), this), QStringLiteral("Command2"), 7560, 720, 255, 375);
    Label1 = place(new QLabel(utf8(kKindHeading), this), QStringLiteral("Label1"), 240, 1200, 1935, 375);

    optionGroup_ = new QButtonGroup(this);
    for (std::size_t i = 0; i < Option.size(); ++i) {
        const OptionPlace& at = kOptionPlaces[i];
        Option[i] = place(new QRadioButton(utf8(kKindOptions[i].caption), this), QStringLiteral("Option%1").arg(i),
                          at.left, at.top, kOptionWidth, kOptionHeight);
        optionGroup_->addButton(Option[i], static_cast<int>(i));
    }
    Option[kInitialOption]->setChecked(true);

    ProgressBar1 = place(new QProgressBar(this), QStringLiteral("ProgressBar1"), 240, 2280, 4095, 495);
    ProgressBar1->setRange(0, kProgressSteps);
    ProgressBar1->setValue(0);  // a fresh QProgressBar stands at minimum - 1
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();

    Command1 = place(new QPushButton(utf8(kRepairButton), this), QStringLiteral("Command1"), 4680, 2280, 1575, 495);
    Command1->setEnabled(false);
    Command3 = place(new QPushButton(utf8(kCancelButton), this), QStringLiteral("Command3"), 6480, 2280, 1455, 495);

    // The design's tab indexes; labels and the bar take no focus and stand out of the chain.
    std::vector<std::pair<int, QWidget*>> tabs = {{1, Command3}, {2, Command1}, {3, Command2}};
    for (std::size_t i = 0; i < Option.size(); ++i) tabs.emplace_back(kOptionPlaces[i].tab, Option[i]);
    std::sort(tabs.begin(), tabs.end());
    for (std::size_t i = 1; i < tabs.size(); ++i) setTabOrder(tabs[i - 1].second, tabs[i].second);

    connect(Command2, &QPushButton::clicked, this, &repairF::chooseFile);
    connect(Command1, &QPushButton::clicked, this, &repairF::runRepair);
    connect(Command3, &QPushButton::clicked, this, &repairF::close);
}

void repairF::closeEvent(QCloseEvent* event) {
    // A repair runs to its end inside the click, message boxes included.
    if (running_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void repairF::chooseFile() {
    std::optional<std::string> chosen = services_.chooseFile(this);
    if (!chosen) return;
    path_ = std::move(*chosen);
    showPath();
    // Only the search uses the narrow lower-case form; file names here are case-sensitive.
    if (const std::optional<int> option = ui::optionForPath(ui::toNarrowLower(path_)))
        Option[static_cast<std::size_t>(*option)]->setChecked(true);
    Command1->setEnabled(true);
}

void repairF::showPath() {
    const QString path = QString::fromStdString(path_);
    Label->setText(Label->fontMetrics().elidedText(path, Qt::ElideMiddle, Label->width()));
    Label->setToolTip(path);
}

std::string repairF::selectedKindKey() const {
    const int id = optionGroup_->checkedId();
    return id < 0 ? std::string() : ui::text::kKindOptions[static_cast<std::size_t>(id)].key;
}

void repairF::stepProgress() {
    ProgressBar1->setValue(ProgressBar1->value() + 1);
    ProgressBar1->repaint();
    // The repair holds the click: keep painting and answering the desktop, but take no input.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int repairF::announce(const std::string& prompt, int style) {
    ProgressBar1->hide();
    services_.beep();
    return services_.messageBox(this, prompt, style, msg::kConfirmTitle);
}

void repairF::runRepair() {
    running_ = true;
    const auto endOfRun = qScopeGuard([this] {
        ProgressBar1->hide();
        ProgressBar1->setValue(0);
        running_ = false;
    });
    ProgressBar1->show();
    const std::string kindKey = selectedKindKey();
    stepProgress();
    if (!services_.fileExists(path_)) {
        announce(msg::kFileToRepair + path_ + msg::kTailMissing, repairM::vbOKOnly | repairM::vbExclamation);
    } else if (!services_.repair(path_, kindKey)) {
        offerLog(msg::kFile + path_ + msg::kTailNotRepaired);
    } else if (repairM::RowsLost) {
        // Usable, but not all that it held: the log says what is missing.
        offerLog(msg::kFile + path_ + msg::kTailRepaired + ui::text::kParagraphBreak + msg::kRowsLostNotice);
    } else {
        announce(msg::kFile + path_ + msg::kTailRepaired, repairM::vbOKOnly | repairM::vbInformation);
    }
}

void repairF::offerLog(const std::string& outcome) {
    if (!services_.fileExists(repairM::LogPath)) {
        announce(outcome, repairM::vbOKOnly | repairM::vbExclamation);
        return;
    }
    const int answer = announce(outcome + ui::text::kParagraphBreak + msg::kAskOpenLog,
                                repairM::vbYesNo | repairM::vbExclamation | repairM::vbDefaultButton2);
    if (answer == repairM::vbYes) services_.openLog(repairM::LogPath);
}
