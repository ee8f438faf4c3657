#pragma once

#include <string>

namespace ui::win32 {

// The text in lower case and in narrow characters, as LCMapStringEx makes them for Japanese:
// wide Latin letters, digits, symbols, spaces and katakana become their single-width forms;
// kanji and hiragana stay. UTF-8 in and out. Throws std::runtime_error when the system refuses.
std::string toNarrowLower(const std::string& text);

}  // namespace ui::win32
