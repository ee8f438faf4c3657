#include "ui/qt/repair_f.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <utility>

#include "ui/qt/qt_narrow_text.h"
#include "ui/window_caption.h"

namespace {

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

}  // namespace

repairF::repairF(ui::DesktopServices desktop, ui::CoreServices core, QWidget* parent)
    : QDialog(parent), desktop_(std::move(desktop)), flow_(*this, std::move(core)) {
    setObjectName(QStringLiteral("repairF"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromStdString(ui::windowCaption(ui::builtVersion())));
    setFixedSize(px(ui::layout::kClientWidth), px(ui::layout::kClientHeight));
    createControls();
    flow_.open();
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

    ProgressBar1 = place(new QProgressBar(this), kProgressBar);
    ProgressBar1->setRange(0, kProgressMax);
    ProgressBar1->setTextVisible(false);

    Command1 = makeControl<QPushButton>(kStartButton, this);
    Command3 = makeControl<QPushButton>(kCancelButton, this);

    // Labels and the bar take no focus and stand out of the chain.
    QWidget* previous = nullptr;
    for (const Control* design : controlsInTabOrder()) {
        auto* widget = findChild<QWidget*>(QString::fromLatin1(design->name));
        if (!(widget->focusPolicy() & Qt::TabFocus)) continue;
        if (previous != nullptr) setTabOrder(previous, widget);
        previous = widget;
    }

    connect(Command2, &QPushButton::clicked, this, [this] { flow_.chooseFile(); });
    connect(Command1, &QPushButton::clicked, this, [this] { flow_.startRepair(); });
    connect(Command3, &QPushButton::clicked, this, [this] { flow_.cancel(); });
}

void repairF::closeEvent(QCloseEvent* event) {
    if (!flow_.mayClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void repairF::stepProgress() { flow_.stepProgress(); }

void repairF::showPath(const std::string& path) {
    const QString text = QString::fromStdString(path);
    Label->setText(Label->fontMetrics().elidedText(text, Qt::ElideMiddle, Label->width()));
    Label->setToolTip(text);
}

void repairF::setStartEnabled(bool enabled) { Command1->setEnabled(enabled); }

void repairF::showBar(bool visible) { ProgressBar1->setVisible(visible); }

void repairF::setBarValue(int value) { ProgressBar1->setValue(value); }

void repairF::drawNow() {
    ProgressBar1->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

std::optional<int> repairF::checkedOption() const {
    const int id = optionGroup_->checkedId();
    return id < 0 ? std::nullopt : std::optional<int>(id);
}

void repairF::checkOption(int index) { Option[static_cast<std::size_t>(index)]->setChecked(true); }

void repairF::closeWindow() { close(); }

std::optional<std::string> repairF::chooseFile(const ui::FileChooserSettings& settings) {
    return desktop_.chooseFile(this, settings);
}

int repairF::messageBox(const std::string& prompt, int style, const std::string& title) {
    return desktop_.messageBox(this, prompt, style, title);
}

void repairF::beep() { desktop_.beep(); }

void repairF::openLog(const std::string& path) { desktop_.openLog(path); }

std::string repairF::narrowLower(const std::string& text) const { return ui::toNarrowLower(text); }
