#include "desktop_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QUrl>

#include "file_chooser.h"
#include "message_box.h"
#include "repair_c.h"
#include "repair_driver.h"

namespace ui {

namespace {

bool fileExists(const std::string& path) {
    repairC file;
    file.setFileName(path);
    return file.FileExist();
}

void openInViewer(const std::string& path) {
    // Whether a viewer opened is not examined: the log stays where the user can find it.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path))));
}

}  // namespace

WindowServices desktopServices() {
    return {
        .chooseFile = chooseDataFile,
        .messageBox = execMessageBox,
        .beep = QApplication::beep,
        .fileExists = fileExists,
        .repair = RepairDataFile,
        .openLog = openInViewer,
    };
}

}  // namespace ui
