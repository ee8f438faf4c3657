#include "ui/qt/qt_narrow_text.h"

#include <unicode/locid.h>
#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>
#include <stdexcept>

namespace ui {

namespace {

const icu::Transliterator& fullwidthToHalfwidth() {
    static const std::unique_ptr<icu::Transliterator> transliterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> created(
            icu::Transliterator::createInstance("Fullwidth-Halfwidth", UTRANS_FORWARD, status));
        if (U_FAILURE(status) || !created)
            throw std::runtime_error(std::string("ICU transliterator Fullwidth-Halfwidth: ") + u_errorName(status));
        return created;
    }();
    return *transliterator;
}

}  // namespace

std::string toNarrowLower(const std::string& text) {
    icu::UnicodeString converted = icu::UnicodeString::fromUTF8(text);
    // Lower-casing first lets wide capitals end up as narrow small letters.
    converted.toLower(icu::Locale::getRoot());
    fullwidthToHalfwidth().transliterate(converted);
    std::string result;
    converted.toUTF8String(result);
    return result;
}

}  // namespace ui
