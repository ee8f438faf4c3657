#include "repair_f.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <utility>

#include "hooks.h"
#include "messages.h"
#include "module_state.h"
#include "narrow_text.h"
#include "path_kind.h"
#include "ui_texts.h"
#include "window_layout.h"

namespace {

QString utf8(const char* text) { return QString::fromUtf8(text); }

// Qt scales for the screen itself: its pixels are a 96th of an inch.
constexpr int kLogicalDpi = 96;

int px(int twips) { return ui::layout::pixels(twips, kLogicalDpi); }

template <class Control>
Control* place(Control* control, const ui::layout::Control& design) {
    control->setObjectName(QString::fromLatin1(design.name));
    control->setGeometry(px(design.place.left), px(design.place.top), px(design.place.width), px(design.place.height));
    return control;
}

template <class Control>
Control* makeControl(const ui::layout::Control& design, QWidget* parent) {
    return place(new Control(QString::fromUtf8(design.caption), parent), design);
}

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
    setFixedSize(px(ui::layout::kClientWidth), px(ui::layout::kClientHeight));
    createControls();
}

void repairF::createControls() {
    using namespace ui::layout;
    Label2 = makeControl<QLabel>(kFileHeading, this);
    Label = makeControl<QLabel>(kPathLabel, this);
    Command2 = makeControl<QPushButton>(kChooseButton, this);
    Label1 = makeControl<QLabel>(kKindHeading, this);

    optionGroup_ = new QButtonGroup(this);
    for (std::size_t i = 0; i < Option.size(); ++i) {
        Option[i] = makeControl<QRadioButton>(kKindOptions[i].button, this);
        optionGroup_->addButton(Option[i], static_cast<int>(i));
    }
    Option[kInitialOption]->setChecked(true);

    ProgressBar1 = place(new QProgressBar(this), kProgressBar);
    ProgressBar1->setRange(0, kProgressMax);
    ProgressBar1->setValue(0);  // a fresh QProgressBar stands at minimum - 1
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();

    Command1 = makeControl<QPushButton>(kStartButton, this);
    Command1->setEnabled(false);
    Command3 = makeControl<QPushButton>(kCancelButton, this);

    // Labels and the bar take no focus and stand out of the chain.
    QWidget* previous = nullptr;
    for (const Control* design : controlsInTabOrder()) {
        auto* widget = findChild<QWidget*>(QString::fromLatin1(design->name));
        if (!(widget->focusPolicy() & Qt::TabFocus)) continue;
        if (previous != nullptr) setTabOrder(previous, widget);
        previous = widget;
    }

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
    return id < 0 ? std::string() : ui::layout::kKindOptions[static_cast<std::size_t>(id)].key;
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
