// The --input script: parser and player.
#include "platform/core/input_script.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "base/parse_number.h"
#include "platform/core/clock.h"
#include "platform/core/dinput.h"
#include "platform/core/platform.h"

namespace platform {
namespace {

constexpr std::int64_t kLastFrame = std::int64_t{1} << 40;

// Frame order, keeping the order of lines within a frame. A script already in
// order (every recording is) is left as it is, without the sort's buffer.
void SortByFrame(std::vector<ScriptEvent>* events) {
    const auto earlier = [](const ScriptEvent& a, const ScriptEvent& b) {
        return a.frame < b.frame;
    };
    if (!std::is_sorted(events->begin(), events->end(), earlier))
        std::stable_sort(events->begin(), events->end(), earlier);
}

std::vector<std::string_view> Tokens(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    auto space = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
    };
    while (i < line.size()) {
        while (i < line.size() && space(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !space(line[i])) ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

// "DIK_LEFT" or "0xCB": the key's code, or -1 with `why` set.
int ParseKey(std::string_view text, std::string* why) {
    int code = -1;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        code = 0;
        for (std::size_t i = 2; i < text.size() && code >= 0; ++i) {
            const char c = text[i];
            int digit = -1;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            code = digit < 0 || code > 0xFF ? -1 : code * 16 + digit;
        }
        if (code < 0 || code > 0xFF) {
            *why = "key code '" + Shown(text) + "' is not a byte from 0x01 to 0xFF";
            return -1;
        }
    } else {
        code = DikFromName(text);
        if (code < 0) {
            *why = "unknown key '" + Shown(text) + "' (a DIK_ name such as DIK_LEFT, or 0xNN)";
            return -1;
        }
    }
    if (!IsKeyboardKey(code)) {
        *why = "key '" + Shown(text) + "' is not a key of the keyboard";
        return -1;
    }
    return code;
}

bool ParseUpDown(std::string_view text, bool* down) {
    if (text == "down")
        *down = true;
    else if (text == "up")
        *down = false;
    else
        return false;
    return true;
}

// One non-empty line into `event`; false with `why` set when it is malformed.
bool ParseLine(const std::vector<std::string_view>& t, ScriptEvent* event, std::string* why) {
    if (!ParseNumber(t[0], 0, kLastFrame, &event->frame)) {
        *why = "the frame must be a whole number from 1, not '" + Shown(t[0]) + "'";
        return false;
    }
    if (t.size() < 2) {
        *why = "an event (key, mouse, button, close, wheel, focus or clock) must follow the frame";
        return false;
    }
    if (event->frame == 0 && t[1] != "clock") {
        *why = "frame 0 (the set-up before the first frame) takes clock events only";
        return false;
    }
    const std::string_view kind = t[1];
    std::size_t used = 2;
    if (kind == "key") {
        event->kind = ScriptEvent::Kind::kKey;
        if (t.size() < 4) {
            *why = "key needs a key and down or up: '<frame> key DIK_LEFT down'";
            return false;
        }
        event->code = ParseKey(t[2], why);
        if (event->code < 0) return false;
        if (!ParseUpDown(t[3], &event->down)) {
            *why = "key state must be down or up, not '" + Shown(t[3]) + "'";
            return false;
        }
        used = 4;
    } else if (kind == "mouse") {
        event->kind = ScriptEvent::Kind::kMouse;
        std::int64_t dx = 0;
        std::int64_t dy = 0;
        constexpr std::int64_t kMax = 1000000;
        if (t.size() < 4 || !ParseNumber(t[2], -kMax, kMax, &dx) ||
            !ParseNumber(t[3], -kMax, kMax, &dy)) {
            *why = "mouse needs two whole numbers dx dy within +-1000000";
            return false;
        }
        event->dx = static_cast<std::int32_t>(dx);
        event->dy = static_cast<std::int32_t>(dy);
        used = 4;
    } else if (kind == "button") {
        event->kind = ScriptEvent::Kind::kButton;
        if (t.size() < 4) {
            *why = "button needs a button and down or up: '<frame> button left down'";
            return false;
        }
        const std::string_view b = t[2];
        if (b == "left" || b == "0")
            event->code = 0;
        else if (b == "right" || b == "1")
            event->code = 1;
        else if (b == "middle" || b == "2")
            event->code = 2;
        else if (b == "3")
            event->code = 3;
        else {
            *why = "unknown button '" + Shown(b) + "' (0-3, left, right or middle)";
            return false;
        }
        if (!ParseUpDown(t[3], &event->down)) {
            *why = "button state must be down or up, not '" + Shown(t[3]) + "'";
            return false;
        }
        used = 4;
    } else if (kind == "close") {
        event->kind = ScriptEvent::Kind::kClose;
    } else if (kind == "wheel") {
        event->kind = ScriptEvent::Kind::kWheel;
        std::int64_t notches = 0;
        if (t.size() < 3 || !ParseNumber(t[2], -10000, 10000, &notches)) {
            *why = "wheel needs a whole number of notches within +-10000";
            return false;
        }
        event->notches = static_cast<std::int32_t>(notches);
        used = 3;
    } else if (kind == "focus") {
        event->kind = ScriptEvent::Kind::kFocus;
        if (t.size() < 3 || (t[2] != "in" && t[2] != "out")) {
            *why = "focus needs in or out: '<frame> focus out'";
            return false;
        }
        event->down = t[2] == "in";
        used = 3;
    } else if (kind == "clock") {
        event->kind = ScriptEvent::Kind::kClock;
        std::int64_t millis = 0;
        if (t.size() < 4 || !ParseNumber(t[2], 0, kLastFrame, &event->seconds) ||
            !ParseNumber(t[3], 0, 999, &millis)) {
            *why =
                "clock needs whole seconds since 1970 and milliseconds 0-999: "
                "'<frame> clock 1700000000 250'";
            return false;
        }
        event->millis = static_cast<int>(millis);
        used = 4;
    } else {
        *why = "unknown event '" + Shown(kind) +
               "' (key, mouse, button, close, wheel, focus or clock)";
        return false;
    }
    if (t.size() > used) {
        *why = "unexpected '" + Shown(t[used]) + "' after the event";
        return false;
    }
    return true;
}

}  // namespace

std::string Shown(std::string_view text, std::size_t max) {
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < max; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            static const char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    if (text.size() > max) out += "...";
    return out;
}

bool ParseInputScript(std::string_view text, const std::string& name,
                      std::vector<ScriptEvent>* events, std::string* error) {
    std::vector<ScriptEvent> parsed;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // UTF-8 mark
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::size_t hash = line.find('#');
        if (hash != std::string_view::npos) line = line.substr(0, hash);
        const auto tokens = Tokens(line);
        if (tokens.empty()) continue;
        ScriptEvent event;
        event.line = lineNumber;
        std::string why;
        if (!ParseLine(tokens, &event, &why)) {
            *error = name + ":" + std::to_string(lineNumber) + ": " + why;
            return false;
        }
        parsed.push_back(event);
    }
    SortByFrame(&parsed);
    *events = std::move(parsed);
    return true;
}

bool LoadInputScript(const std::string& path, std::vector<ScriptEvent>* events,
                     std::string* error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        *error = path + ": is a folder, not an input script";
        return false;
    }
    const std::string tooLarge = path + ": the input script is larger than " +
                                 std::to_string(kMaxScriptBytes >> 20) +
                                 " MiB, the most a script may hold";
    if (std::filesystem::is_regular_file(path, ec) &&
        std::filesystem::file_size(path, ec) > kMaxScriptBytes && !ec) {
        *error = tooLarge;
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = path + ": cannot read the input script (" + std::strerror(errno) + ")";
        return false;
    }
    // Read in pieces up to one byte past the limit, whatever the file claims
    // (a pipe or a device has no size).
    std::string text;
    char piece[65536];
    while (in && text.size() <= kMaxScriptBytes) {
        in.read(piece, static_cast<std::streamsize>(sizeof piece));
        text.append(piece, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        *error = path + ": cannot read the input script";
        return false;
    }
    if (text.size() > kMaxScriptBytes) {
        *error = tooLarge;
        return false;
    }
    return ParseInputScript(text, path, events, error);
}

std::string FormatScriptEvent(const ScriptEvent& e) {
    std::string line = std::to_string(e.frame) + " ";
    const char* upDown = e.down ? " down" : " up";
    switch (e.kind) {
        case ScriptEvent::Kind::kKey: {
            const char* name = DikName(e.code);
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", e.code & 0xFF);
            return line + "key " + (name ? name : hex) + upDown;
        }
        case ScriptEvent::Kind::kMouse:
            return line + "mouse " + std::to_string(e.dx) + " " + std::to_string(e.dy);
        case ScriptEvent::Kind::kButton: {
            static const char* const kButtons[] = {"left", "right", "middle", "3"};
            return line + "button " + kButtons[e.code & 3] + upDown;
        }
        case ScriptEvent::Kind::kClose:
            return line + "close";
        case ScriptEvent::Kind::kWheel:
            return line + "wheel " + std::to_string(e.notches);
        case ScriptEvent::Kind::kFocus:
            return line + (e.down ? "focus in" : "focus out");
        case ScriptEvent::Kind::kClock:
            return line + "clock " + std::to_string(e.seconds) + " " + std::to_string(e.millis);
    }
    return line;
}

void ApplyScriptEvent(const ScriptEvent& event) {
    switch (event.kind) {
        case ScriptEvent::Kind::kKey:
            InjectKey(event.code, event.down);
            break;
        case ScriptEvent::Kind::kMouse:
            InjectMouseMotion(event.dx, event.dy);
            break;
        case ScriptEvent::Kind::kButton:
            InjectMouseButton(event.code, event.down);
            break;
        case ScriptEvent::Kind::kClose:
            InjectClose();
            break;
        case ScriptEvent::Kind::kWheel:
            InjectMouseWheel(event.notches);
            break;
        case ScriptEvent::Kind::kFocus:
            InjectFocus(event.down);
            break;
        case ScriptEvent::Kind::kClock:
            SetScriptedClock({event.seconds, event.millis});
            break;
    }
}

int PlayInputScript(std::vector<ScriptEvent> events) {
    struct Player {
        std::vector<ScriptEvent> events;
        std::size_t next = 0;
    };
    auto player = std::make_shared<Player>();
    player->events = std::move(events);
    SortByFrame(&player->events);
    // Frame 0 sets the clock the level's set-up reads.
    while (player->next < player->events.size() && player->events[player->next].frame == 0)
        ApplyScriptEvent(player->events[player->next++]);
    return AddPassListener([player](std::int64_t frame) {
        auto& p = *player;
        while (p.next < p.events.size() && p.events[p.next].frame <= frame)
            ApplyScriptEvent(p.events[p.next++]);
    });
}

void StopInputScript(int id) { RemovePassListener(id); }

}  // namespace platform
