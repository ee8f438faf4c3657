#pragma once

#include <array>
#include <vector>

#include "database/host_kinds.h"
#include "ui/ui_texts.h"

// The window's layout, the same for every view: each control's design name, kind, caption,
// place in twips and tab index, and the table of the option buttons.
namespace ui::layout {

// A place in twips, 1440 to the inch.
struct Twips {
    int left;
    int top;
    int width;
    int height;
};

enum class ControlKind { Label, Button, OptionButton, ProgressBar };

struct Control {
    const char* name;  // the design's name ("Command1"), which the views give the control
    ControlKind kind;
    const char* caption;
    Twips place;
    int tab;  // the design's tab index; labels and the bar take no focus all the same
};

inline constexpr int kClientWidth = 8055;
inline constexpr int kClientHeight = 2910;

inline constexpr Control kFileHeading{"Label2", ControlKind::Label, text::kFileHeading, {240, 240, 4215, 375}, 12};
// Shows the chosen path.
inline constexpr Control kPathLabel{"Label", ControlKind::Label, text::kFilePrompt, {240, 720, 7215, 375}, 0};
inline constexpr Control kChooseButton{"Command2", ControlKind::Button, text::kChooseButton, {7560, 720, 255, 375}, 3};
inline constexpr Control kKindHeading{"Label1", ControlKind::Label, text::kKindHeading, {240, 1200, 1935, 375}, 9};
inline constexpr Control kProgressBar{"ProgressBar1", ControlKind::ProgressBar, "", {240, 2280, 4095, 495}, 13};
inline constexpr Control kStartButton{"Command1", ControlKind::Button, text::kRepairButton, {4680, 2280, 1575, 495}, 2};
inline constexpr Control kCancelButton{
    "Command3", ControlKind::Button, text::kCancelButton, {6480, 2280, 1455, 495}, 1};

// The bar counts the four steps of a repair.
inline constexpr int kProgressMax = 4;

// One option button per kind of host data file, all in one group: its caption, the key handed to
// the repair and the path word that selects it are its kind's.
struct KindOption {
    Control button;
    const hostkind::HostKind* kind;
};

inline constexpr int kOptionWidth = 1455;
inline constexpr int kOptionHeight = 375;

constexpr KindOption kindOption(const char* name, const hostkind::HostKind& kind, int left, int top, int tab) {
    return {{name, ControlKind::OptionButton, kind.option, {left, top, kOptionWidth, kOptionHeight}, tab}, &kind};
}

inline constexpr std::array<KindOption, 7> kKindOptions = {{
    kindOption("Option0", hostkind::kWork, 6360, 1200, 11),
    kindOption("Option1", hostkind::kDesign, 240, 1680, 4),
    kindOption("Option2", hostkind::kStandard, 1800, 1680, 5),
    kindOption("Option3", hostkind::kUser, 3240, 1680, 6),
    kindOption("Option4", hostkind::kLearning, 4800, 1680, 7),
    kindOption("Option5", hostkind::kOther, 6360, 1680, 8),
    kindOption("Option6", hostkind::kSystem, 4800, 1200, 10),
}};

// The option set when the window opens ("設計書").
inline constexpr int kInitialOption = 1;

// Every control, the option buttons included, by tab index: the order in which focus moves,
// and an order to create them in where creation fixes it.
std::vector<const Control*> controlsInTabOrder();

// A length in twips as whole pixels at `dpi` pixels to the inch, rounded to the nearest.
int pixels(int twips, int dpi);

}  // namespace ui::layout
