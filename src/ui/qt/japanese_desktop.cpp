#include "ui/qt/japanese_desktop.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ui {

bool loadQtJapanese(QTranslator& translator) {
    return translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

void useJapaneseLocaleAndFont(QApplication& app) {
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    const QString family = QStringLiteral("Noto Sans CJK JP");
    if (!QFontDatabase::hasFamily(family)) return;
    QFont font = QApplication::font();
    font.setFamily(family);
    app.setFont(font);
}

}  // namespace ui
