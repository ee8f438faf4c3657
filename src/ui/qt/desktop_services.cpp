#include "ui/qt/desktop_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QUrl>

#include "ui/qt/qt_file_chooser.h"
#include "ui/qt/message_box.h"

namespace ui {

namespace {

void openInViewer(const std::string& path) {
    // Whether a viewer opened is not examined: the log stays where the user can find it.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path))));
}

}  // namespace

DesktopServices desktopServices() {
    return {
        .chooseFile = chooseDataFile,
        .messageBox = execMessageBox,
        .beep = QApplication::beep,
        .openLog = openInViewer,
    };
}

}  // namespace ui
