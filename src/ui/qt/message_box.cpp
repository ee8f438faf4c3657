#include "ui/qt/message_box.h"

#include <QMessageBox>

#include "common/hooks.h"

namespace ui {

namespace {

constexpr int kButtonsMask = 0x0F;
constexpr int kIconMask = 0xF0;

QMessageBox::Icon iconOf(int style) {
    switch (style & kIconMask) {
        case repairM::vbExclamation:
            return QMessageBox::Warning;
        case repairM::vbInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const std::string& prompt, int style,
                                            const std::string& title) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(QString::fromStdString(title));
    box->setIcon(iconOf(style));
    // A path may hold "<" or "&"; it must be shown as it is, never as markup.
    box->setTextFormat(Qt::PlainText);
    QString text = QString::fromStdString(prompt);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box->setText(text);
    if ((style & kButtonsMask) == repairM::vbYesNo) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton((style & repairM::vbDefaultButton2) != 0 ? QMessageBox::No : QMessageBox::Yes);
        box->setEscapeButton(QMessageBox::No);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
        box->setDefaultButton(QMessageBox::Ok);
    }
    return box;
}

int answerOf(const QMessageBox& box) {
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Yes:
            return repairM::vbYes;
        case QMessageBox::No:
            return repairM::vbNo;
        default:
            return repairM::vbOK;
    }
}

int execMessageBox(QWidget* parent, const std::string& prompt, int style, const std::string& title) {
    const std::unique_ptr<QMessageBox> box = makeMessageBox(parent, prompt, style, title);
    box->exec();
    return answerOf(*box);
}

}  // namespace ui
