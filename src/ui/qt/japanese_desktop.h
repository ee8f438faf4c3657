#pragma once

class QApplication;
class QTranslator;

namespace ui {

// Loads Qt's own Japanese texts (dialog and button captions) from qtbase_ja.qm in Qt's
// translations folder; false when they are not installed.
bool loadQtJapanese(QTranslator& translator);

// Dates, numbers and names in the file dialog read as in Japan, whatever the user's locale;
// the application font is one that holds Japanese glyphs, when one is installed.
void useJapaneseLocaleAndFont(QApplication& app);

}  // namespace ui
