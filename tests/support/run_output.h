// Reading what a run of the binary leaves: its dump lines and its screenshots.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "platform/core/png.h"
#include "support/run_process.h"

// The dump's lines; frames[k] is frame k (frames[0] is empty).
inline std::vector<std::string> DumpFrames(const std::string& path) {
    std::vector<std::string> frames(1);
    std::istringstream in(ReadFile(path));
    for (std::string line; std::getline(in, line);) frames.push_back(line);
    return frames;
}

// The object of the entity with that id in a dump line; empty if absent.
inline std::string DumpEntity(const std::string& line, int id) {
    const auto at = line.find("{\"id\":" + std::to_string(id) + ",");
    return at == std::string::npos ? "" : line.substr(at, line.find('}', at) - at + 1);
}

// The text after `"key":` in an entity object up to the next ',' or '}' (quotes kept).
inline std::string DumpField(const std::string& object, const std::string& key) {
    const auto at = object.find("\"" + key + "\":");
    if (at == std::string::npos) return "";
    const auto start = at + key.size() + 3;
    return object.substr(start, object.find_first_of(",}", start) - start);
}

// The "text" of the entity with that id in a dump line.
inline std::string DumpText(const std::string& line, int id) {
    const std::string e = DumpEntity(line, id);
    const auto at = e.find("\"text\":\"");
    return at == std::string::npos ? "" : e.substr(at + 8, e.find('"', at + 8) - at - 8);
}

struct Shot {
    std::vector<std::uint32_t> px;
    int w = 0, h = 0;
    std::uint32_t At(int x, int y) const {
        return px[static_cast<std::size_t>(y) * w + x] | 0xFF000000u;
    }
};

inline Shot LoadShot(const std::string& path) {
    Shot s;
    std::string error;
    if (!platform::ReadImageFile(path, &s.px, &s.w, &s.h, &error))
        ADD_FAILURE() << path << ": " << error;
    return s;
}
