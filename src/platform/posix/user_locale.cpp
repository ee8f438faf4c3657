#include "platform/user_locale.h"

#include <locale.h>

#include <chrono>
#include <cstdio>

namespace platform {

std::tm localTime(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return local;
}

std::string logTimeFields() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const std::tm local = localTime(seconds);
    const auto fraction = std::chrono::duration<double>(now - std::chrono::system_clock::from_time_t(seconds)).count();
    const float sinceMidnight =
        static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + fraction);

    locale_t userLocale = newlocale(LC_TIME_MASK | LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (userLocale == static_cast<locale_t>(nullptr))
        userLocale = newlocale(LC_TIME_MASK | LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t previous = uselocale(userLocale);
    char timeText[64] = {};
    std::strftime(timeText, sizeof timeText, "%X", &local);
    char secondsText[64] = {};
    std::snprintf(secondsText, sizeof secondsText, "%.7g", static_cast<double>(sinceMidnight));
    uselocale(previous);
    freelocale(userLocale);
    return std::string(timeText) + "," + secondsText + ",";
}

// The system's narrow encoding is UTF-8, which holds every character.
std::string toLogEncoding(const std::string& text) { return text; }

}  // namespace platform
