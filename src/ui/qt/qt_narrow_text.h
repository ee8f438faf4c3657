#pragma once

#include <string>

namespace ui {

// The text in lower case and in narrow characters: wide Latin letters, digits, symbols,
// spaces and katakana become their single-width forms; kanji and hiragana stay.
// UTF-8 in and out. Throws std::runtime_error when ICU lacks the transliterator.
std::string toNarrowLower(const std::string& text);

}  // namespace ui
