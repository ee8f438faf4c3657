#include "show_window.h"

#include <QApplication>
#include <QIcon>
#include <QTranslator>

#include "core_services.h"
#include "desktop_services.h"
#include "japanese_desktop.h"
#include "repair_f.h"
#include "window_hooks.h"
#include "window_mode.h"

namespace ui {

void ShowRepairWindow(int& argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/qnrepair/qnrepair.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("qnrepair"));
    QTranslator qtJapanese;
    if (loadQtJapanese(qtJapanese)) QApplication::installTranslator(&qtJapanese);
    useJapaneseLocaleAndFont(app);

    // While a long step runs, the window is never reported as not responding.
    const WindowMode windowMode(ShowMessageBox, StepProgress,
                                [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    repairF form(desktopServices(), coreServices());
    form.exec();
}

}  // namespace ui
