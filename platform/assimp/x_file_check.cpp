#include "platform/assimp/x_file_check.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <utility>

#include "base/byte_order.h"

namespace platform::assimp {
namespace {

enum Kind : char { kEnd, kBad, kNumber, kWord, kString, kOpen, kClose, kOther };

struct Token {
    Kind kind = kEnd;
    double value = 0;
    std::string_view text;
    bool afterStray = false;
};

// The tokens of the text or binary format alike, split as Assimp splits
// them: names, numbers, strings and braces. Separators are dropped, but a
// token after a ',' (or any binary separator but ';') is marked: where Assimp
// expects an object, it takes that separator as one. Copied to look ahead.
class Lexer {
  public:
    Lexer(const std::uint8_t* p, std::size_t n, bool binary) : p_(p), n_(n), binary_(binary) {
        // Assimp skips the rest of a text file's header line.
        while (!binary && pos_ < n_ && p_[pos_ - 1] != '\n' && p_[pos_ - 1] != '\r') ++pos_;
    }
    std::size_t BytesLeft() const { return n_ - pos_; }
    // Within a binary list of numbers, where Assimp reads a token anew.
    bool MidList() const { return listLeft_ > 0; }
    Token Next() {
        stray_ = false;
        Token t = binary_ ? NextBinary() : NextText();
        t.afterStray = stray_;
        return t;
    }

  private:
    static bool Space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    static bool Delimiter(char c) { return c == ';' || c == ',' || c == '{' || c == '}'; }

    Token NextText() {
        while (pos_ < n_) {
            const char c = static_cast<char>(p_[pos_]);
            if (c == '#' || (c == '/' && pos_ + 1 < n_ && p_[pos_ + 1] == '/')) {
                while (pos_ < n_ && p_[pos_] != '\n') ++pos_;
            } else if (Space(c) || c == ';' || c == ',') {
                stray_ |= c == ',';
                ++pos_;
            } else {
                break;
            }
        }
        if (pos_ >= n_) return {};
        const char* s = reinterpret_cast<const char*>(p_) + pos_;
        const char c = *s;
        if (c == '{' || c == '}') return ++pos_, Token{c == '{' ? kOpen : kClose, 0, {}};
        std::size_t len = 0;
        while (pos_ < n_ && !Space(static_cast<char>(p_[pos_])) &&
               !Delimiter(static_cast<char>(p_[pos_])))
            ++pos_, ++len;
        Token t{c == '"' ? kString : c == '<' ? kOther : kWord, 0, {s, len}};
        if (std::strchr("0123456789+-.", c)) {
            t.kind = kNumber;
            if (std::from_chars(s + (c == '+'), s + len, t.value).ec != std::errc()) t.value = NAN;
        }
        return t;
    }

    Token NextBinary() {
        for (;;) {
            if (listLeft_ > 0) {
                --listLeft_;
                pos_ += 4;
                return {kNumber, static_cast<double>(ReadLe32(p_ + pos_ - 4)), {}};
            }
            if (pos_ > n_ || n_ - pos_ < 2) return {};
            const unsigned tag = ReadLe16(p_ + pos_);
            pos_ += 2;
            const std::size_t left = n_ - pos_;
            const std::uint32_t dword = left >= 4 ? ReadLe32(p_ + pos_) : 0;
            switch (tag) {
                case 1:    // name
                case 2: {  // string, with a 2-byte terminator
                    const std::size_t fixed = tag == 2 ? 6 : 4;
                    if (left < fixed || dword > left - fixed) return {kBad, 0, {}};
                    const char* text = reinterpret_cast<const char*>(p_) + pos_ + 4;
                    pos_ += fixed + dword;
                    return {tag == 1 ? kWord : kString, 0, {text, dword}};
                }
                case 3:  // one integer
                    if (left < 4) return {kBad, 0, {}};
                    pos_ += 4;
                    return {kNumber, static_cast<double>(dword), {}};
                case 5:  // GUID
                    if (left < 16) return {kBad, 0, {}};
                    pos_ += 16;
                    return {kOther, 0, {}};
                case 6:  // integer list
                case 7:  // float list
                    if (left < 4 || dword > (left - 4) / 4) return {kBad, 0, {}};
                    pos_ += 4;
                    listLeft_ = dword;
                    continue;
                case 0x0a:
                    return {kOpen, 0, {}};
                case 0x0b:
                    return {kClose, 0, {}};
                default:
                    if (tag >= 0x0c && tag <= 0x14) {  // separators
                        stray_ |= tag != 0x14;
                        continue;
                    }
                    if (tag >= 0x1f && tag <= 0x34) return {kWord, 0, {}};  // keywords
                    return {kBad, 0, {}};
            }
        }
    }

    const std::uint8_t* p_;
    std::size_t n_, pos_ = 16;
    bool binary_, stray_ = false;
    std::size_t listLeft_ = 0;
};

bool IsCount(const Token& t, double limit) {
    return t.kind == kNumber && t.value >= 0 && t.value <= limit && t.value == std::floor(t.value);
}

// A count of items of `width` tokens each, which must fit in what follows.
bool Count(Lexer& in, double width, double* n) {
    const Token t = in.Next();
    *n = t.value;
    return IsCount(t, static_cast<double>(in.BytesLeft()) / width);
}

const char* Numbers(Lexer& in, double n, double below) {
    for (double i = 0; i < n; ++i) {
        const Token t = in.Next();
        if (t.kind != kNumber) return "a mesh ends before its counted values";
        if (below >= 0 && !IsCount(t, below - 1))
            return "a face index past the vertices or normals";
    }
    return nullptr;
}

// Mesh and MeshNormals: points of 3 values, then faces of counted indices
// into those points.
const char* MeshCounts(Lexer& in, double* faces) {
    double points = 0, k = 0;
    if (!Count(in, 3, &points)) return "a mesh's vertex count exceeds the file";
    if (const char* f = Numbers(in, points * 3, -1)) return f;
    if (!Count(in, 1, faces)) return "a mesh's face count exceeds the file";
    for (double i = 0; i < *faces; ++i) {
        if (!Count(in, 1, &k)) return "a face's index count exceeds the file";
        if (k == 0) return "a face has no indices";
        if (const char* f = Numbers(in, k, points)) return f;
    }
    return in.MidList() ? "a mesh's number list runs past its faces" : nullptr;
}

// Assimp counts the Material objects and {references} the list holds, not
// the number it declares, and indexes them with each face's material; it
// adds every list's face materials to its mesh's and reads one per face.
const char* MaterialList(Lexer& in, double meshFaces) {
    double declared = 0, faces = 0, highest = -1;
    if (!Count(in, 1, &declared) || !Count(in, 1, &faces))
        return "a material list's counts exceed the file";
    if (faces > meshFaces) return "a mesh has more face materials than faces";
    for (double i = 0; i < faces; ++i) {
        const Token t = in.Next();
        if (!IsCount(t, 1e9)) return "a face material index is not a number";
        highest = std::max(highest, t.value);
    }
    if (in.MidList()) return "a material list's number list runs past its indices";
    // A material or {reference} counts where an object may start: first,
    // or after one ends. Anything else there starts an object Assimp skips.
    double given = 0;
    int depth = 0;
    for (bool start = true;;) {
        const Token t = in.Next();
        if (t.kind == kEnd || t.kind == kBad) return "the file ends inside a material list";
        if (depth == 0 && t.kind == kClose) break;
        if (start && !t.afterStray &&
            ((t.kind == kWord && t.text == "Material") || t.kind == kOpen))
            ++given;
        depth += t.kind == kOpen ? 1 : t.kind == kClose ? -1 : 0;
        start = depth == 0 && t.kind == kClose;
    }
    if (faces > 0 && given == 0) return "a material list gives face materials but no material";
    if (declared > given) return "a material list names more materials than it gives";
    if (highest >= given) return "a face material index is past the materials given";
    return nullptr;
}

// meshFaces: the faces of the mesh read last, which its first material
// list takes up.
const char* Object(std::string_view name, Lexer& in, double* meshFaces) {
    double n = 0;
    if (name == "Mesh") return MeshCounts(in, meshFaces);
    if (name == "MeshNormals") return MeshCounts(in, &n);
    if (name == "MeshMaterialList") return MaterialList(in, std::exchange(*meshFaces, 0));
    if (name == "MeshTextureCoords" && !Count(in, 2, &n))
        return "a texture coordinate count exceeds the file";
    if (name == "MeshVertexColors" && !Count(in, 5, &n))
        return "a vertex colour count exceeds the file";
    if (name == "SkinWeights" && in.Next().kind != kEnd && !Count(in, 2, &n))
        return "a skin weight count exceeds the file";
    if (name == "AnimationKey" && in.Next().kind == kNumber && !Count(in, 3, &n))
        return "an animation key count exceeds the file";
    return nullptr;
}

}  // namespace

const char* XFileFault(const std::uint8_t* bytes, std::size_t size) {
    if (size < 16 || std::memcmp(bytes, "xof ", 4) != 0) return "not an X file";
    const std::string_view format(reinterpret_cast<const char*>(bytes) + 8, 4);
    const std::string_view floats(reinterpret_cast<const char*>(bytes) + 12, 4);
    if (format == "tzip" || format == "bzip") return "compressed X files are not supported";
    if ((format != "txt " && format != "bin ") || (floats != "0032" && floats != "0064"))
        return "an unknown X file format";
    // Assimp reads 8-byte floats in binary where it expects 4-byte integers.
    if (format == "bin " && floats == "0064")
        return "binary X files of 64-bit floats are not supported";
    Lexer in(bytes, size, format == "bin ");
    double meshFaces = 0;
    for (bool afterWord = false;;) {
        const Token t = in.Next();
        if (t.kind == kEnd) return nullptr;
        if (t.kind == kBad) return "a damaged token";
        const bool object = t.kind == kWord && !afterWord;
        afterWord = t.kind == kWord;
        if (!object) continue;
        // A data object is its type, an optional name, '{' and an optional
        // GUID; its contents are scanned again after it for nested objects.
        Lexer body = in;
        Token u = body.Next();
        if (u.kind == kWord) u = body.Next();
        if (u.kind != kOpen) continue;
        Lexer guid = body;
        if (guid.Next().kind == kOther) body = guid;
        if (const char* fault = Object(t.text, body, &meshFaces)) return fault;
    }
}

}  // namespace platform::assimp
