#include "base/setting.h"

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <set>

void ReportUnusableSetting(const char* name, const char* value, const std::string& wanted,
                           const std::string& used) {
    static std::mutex lock;
    static std::set<std::string> told;
    const std::lock_guard<std::mutex> hold(lock);
    if (!told.insert(name).second) return;
    constexpr std::size_t kMax = 40;
    std::string shown;
    for (std::size_t i = 0; value[i] && i < kMax; ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
        } else {
            static const char kHex[] = "0123456789ABCDEF";
            shown += {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
        }
    }
    if (std::char_traits<char>::length(value) > kMax) shown += "...";
    std::fprintf(stderr, "%s: %s='%s' is not %s; using %s\n", program_invocation_short_name, name,
                 shown.c_str(), wanted.c_str(), used.c_str());
    std::fflush(stderr);
}
