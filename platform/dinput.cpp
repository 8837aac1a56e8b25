// The back-end-independent part of the input devices: identifiers, data
// formats and key names.
#include "platform/dinput.h"

#include <cctype>
#include <string>

// Our own identifiers: only their distinctness matters.
const GUID IID_IDirectInput8A = {0x7656C001u, 0x0001, 0x0001, {0, 0, 0, 0, 0, 0, 0, 1}};
const GUID GUID_SysKeyboard = {0x7656C001u, 0x0002, 0x0001, {0, 0, 0, 0, 0, 0, 0, 2}};
const GUID GUID_SysMouse = {0x7656C001u, 0x0002, 0x0002, {0, 0, 0, 0, 0, 0, 0, 3}};

const DIDATAFORMAT c_dfDIKeyboard = {DIDF_RELAXIS, 256};
const DIDATAFORMAT c_dfDIMouse = {DIDF_RELAXIS, sizeof(DIMOUSESTATE)};

namespace platform {

int DikFromName(std::string_view name) {
    struct Named {
        const char* name;
        int code;
    };
#define VELMOR_DIK_NAMED(name, code) {"DIK_" #name, code},
    static constexpr Named kNames[] = {VELMOR_DIK_KEYS(VELMOR_DIK_NAMED)
                                           VELMOR_DIK_ALIASES(VELMOR_DIK_NAMED)};
#undef VELMOR_DIK_NAMED
    for (const Named& n : kNames) {
        const std::string_view candidate(n.name);
        if (candidate.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i)
            same = std::toupper(static_cast<unsigned char>(name[i])) == candidate[i];
        if (same) return n.code;
    }
    return -1;
}

}  // namespace platform
