#include "show_window.h"

#include <QApplication>
#include <QIcon>
#include <QScopeGuard>
#include <QTranslator>

#include "desktop_services.h"
#include "hooks.h"
#include "japanese_desktop.h"
#include "repair_f.h"
#include "window_hooks.h"

namespace ui {

void ShowRepairWindow(int& argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/qnrepair/qnrepair.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("qnrepair"));
    QTranslator qtJapanese;
    if (loadQtJapanese(qtJapanese)) QApplication::installTranslator(&qtJapanese);
    useJapaneseLocaleAndFont(app);

    repairM::installHooks(ShowMessageBox, StepProgress);
    // The core must not reach for a window or an application that are gone.
    const auto uninstall = qScopeGuard([] { repairM::installHooks({}, {}); });
    repairF form(desktopServices());
    form.exec();
}

}  // namespace ui
