#include "write_log.h"

#include <locale.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <stdexcept>

#include "module_state.h"

namespace repairM {

namespace {

// Time of day in the user's locale, then seconds since midnight as a single-precision
// number in the locale's number format, as the host's tools read the log.
std::string timeFields() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
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

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

[[noreturn]] void failLog(int error) {
    throw std::runtime_error("ログ ファイル '" + LogPath + "' に書き込めません (" + std::strerror(error) + ")。");
}

}  // namespace

void WriteLog(const std::string& message) {
    std::string line = timeFields();
    for (const char c : message)
        if (c != '\r') line += c;
    line += "\r\n";

    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(LogPath.c_str(), "ab"));
    if (!file) failLog(errno);
    if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size()) failLog(errno);
    if (std::fclose(file.release()) != 0) failLog(errno);
}

}  // namespace repairM
