#include "engine/dump_record.h"

#include <charconv>
#include <cmath>
#include <cstdio>

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c >= 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

// Shortest text that reads back as the same float; JSON has no NaN or
// infinity, so those become null.
std::string JsonNumber(float value) {
    if (!std::isfinite(value)) return "null";
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

void DumpRecord::SetRaw(const std::string& key, std::string json) {
    for (auto& f : fields_)
        if (f.first == key) {
            f.second = std::move(json);
            return;
        }
    fields_.emplace_back(key, std::move(json));
}

void DumpRecord::Set(const std::string& key, double value) {
    SetRaw(key, JsonNumber(static_cast<float>(value)));
}
void DumpRecord::Set(const std::string& key, float value) { SetRaw(key, JsonNumber(value)); }
void DumpRecord::Set(const std::string& key, int value) { SetRaw(key, std::to_string(value)); }
void DumpRecord::Set(const std::string& key, std::int64_t value) {
    SetRaw(key, std::to_string(value));
}
void DumpRecord::Set(const std::string& key, bool value) { SetRaw(key, value ? "true" : "false"); }
void DumpRecord::Set(const std::string& key, const char* value) {
    SetRaw(key, value ? JsonString(value) : "null");
}
void DumpRecord::Set(const std::string& key, const std::string& value) {
    SetRaw(key, JsonString(value));
}
void DumpRecord::Set(const std::string& key, const std::vector<float>& values) {
    std::string s = "[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) s += ",";
        s += JsonNumber(values[i]);
    }
    SetRaw(key, s + "]");
}

std::string DumpRecord::Json() const {
    std::string s = "{";
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (i) s += ",";
        s += JsonString(fields_[i].first) + ":" + fields_[i].second;
    }
    return s + "}";
}
