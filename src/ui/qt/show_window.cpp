#include "show_window.h"

#include <QApplication>
#include <QIcon>
#include <QScopeGuard>
#include <QTranslator>

#include "core_services.h"
#include "db_engine.h"
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
    // A repair runs inside the click: while a long step runs, keep painting and answering the
    // desktop (so the window is never reported as not responding), but take no input.
    engine::DBEngine::instance().setKeepAlive(
        [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    // The core must not reach for a window or an application that are gone.
    const auto uninstall = qScopeGuard([] {
        engine::DBEngine::instance().setKeepAlive({});
        repairM::installHooks({}, {});
    });
    repairF form(desktopServices(), coreServices());
    form.exec();
}

}  // namespace ui
