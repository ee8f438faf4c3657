#include "log_encoding.h"

namespace platform {

// The system's narrow encoding is UTF-8, which holds every character.
std::string toLogEncoding(const std::string& text) { return text; }

}  // namespace platform
