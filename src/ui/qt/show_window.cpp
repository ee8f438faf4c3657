#include "ui/show_window.h"

#include <QApplication>
#include <QIcon>
#include <QTranslator>

#include "ui/core_services.h"
#include "ui/qt/desktop_services.h"
#include "ui/qt/japanese_desktop.h"
#include "ui/qt/repair_f.h"
#include "ui/qt/qt_window_hooks.h"
#include "ui/window_mode.h"

namespace ui {

void showRepairWindow(int& argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/qnrepair/qnrepair.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("qnrepair"));
    QTranslator qtJapanese;
    if (loadQtJapanese(qtJapanese)) QApplication::installTranslator(&qtJapanese);
    useJapaneseLocaleAndFont(app);

    // While a long step runs, the window is never reported as not responding.
    const WindowMode windowMode(showMessageBox, StepProgress,
                                [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    repairF form(desktopServices(), coreServices());
    form.exec();
}

}  // namespace ui
