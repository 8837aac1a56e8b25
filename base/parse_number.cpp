#include "base/parse_number.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string>

bool ParseNumber(std::string_view text, std::int64_t lo, std::int64_t hi, std::int64_t* out) {
    if (text.empty() || text.size() > 20) return false;
    const std::string s(text);
    if (!(std::isdigit(static_cast<unsigned char>(s[0])) || s[0] == '-' || s[0] == '+'))
        return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || end == s.c_str() || *end != '\0' || v < lo || v > hi) return false;
    *out = v;
    return true;
}
