#include "platform/assimp/x_file_check.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

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
                    if (tag == 0x1f) return {kWord, 0, "template"};
                    if (tag > 0x1f && tag <= 0x34) return {kWord, 0, {}};  // other keywords
                    return {kBad, 0, {}};
            }
        }
    }

    const std::uint8_t* p_;
    std::size_t n_, pos_ = 16;
    bool binary_, stray_ = false;
    std::size_t listLeft_ = 0;
};

// The limits as the refusals below name them.
static_assert(kMaxXNesting == 128 && kMaxXFaceIndices == 64 && kMaxXTriangles == 500000);

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
// into those points. `triangles` adds up what the faces make.
const char* MeshCounts(Lexer& in, double* faces, double* triangles) {
    double points = 0, k = 0;
    if (!Count(in, 3, &points)) return "a mesh's vertex count exceeds the file";
    if (const char* f = Numbers(in, points * 3, -1)) return f;
    if (!Count(in, 1, faces)) return "a mesh's face count exceeds the file";
    for (double i = 0; i < *faces; ++i) {
        if (!Count(in, 1, &k)) return "a face's index count exceeds the file";
        if (k == 0) return "a face has no indices";
        if (k > kMaxXFaceIndices) return "a face has more than 64 indices";
        *triangles += std::max(k - 2, 1.0);
        if (*triangles > kMaxXTriangles) return "the meshes have more than 500000 triangles";
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

// What the objects read so far hold: the faces of the mesh read last, which
// its first material list takes up, and the triangles of the meshes and of
// their normals.
struct Totals {
    double meshFaces = 0, meshTriangles = 0, normalTriangles = 0;
};

const char* Object(std::string_view name, Lexer& in, Totals* totals) {
    double n = 0;
    if (name == "Mesh") return MeshCounts(in, &totals->meshFaces, &totals->meshTriangles);
    if (name == "MeshNormals") return MeshCounts(in, &n, &totals->normalTriangles);
    if (name == "MeshMaterialList") return MaterialList(in, std::exchange(totals->meshFaces, 0));
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
    Totals totals;
    int depth = 0;
    for (bool afterWord = false;;) {
        const Token t = in.Next();
        if (t.kind == kEnd) return nullptr;
        if (t.kind == kBad) return "a damaged token";
        if (t.kind == kOpen && ++depth > kMaxXNesting) return "objects nest deeper than 128 levels";
        if (t.kind == kClose && depth > 0) --depth;
        const bool object = t.kind == kWord && !afterWord;
        afterWord = t.kind == kWord;
        if (!object) continue;
        // A data object is its type, an optional name (any one token:
        // Assimp takes a string or a number as well), '{' and an optional
        // GUID; its contents are scanned again after it for nested objects.
        Lexer body = in;
        Token u = body.Next();
        if (u.kind != kOpen && u.kind != kEnd && u.kind != kBad) u = body.Next();
        if (u.kind != kOpen) continue;
        Lexer guid = body;
        if (guid.Next().kind == kOther) body = guid;
        if (const char* fault = Object(t.text, body, &totals)) return fault;
    }
}

namespace {

// The structure Assimp's X reader parses, token for token: at the top level
// frames, meshes and materials; in a frame, frames and meshes; in a mesh, its
// material lists. Any other object (or a stray token where an object may
// start) is skipped through the matching brace, and what it holds is not
// read. Bytes that passed XFileFault nest at most kMaxXNesting deep.
class LayoutReader {
  public:
    LayoutReader(const std::uint8_t* bytes, std::size_t size)
        : in_(bytes, size,
              std::string_view(reinterpret_cast<const char*>(bytes) + 8, 4) == "bin ") {}

    XFileLayout Read() {
        XFileLayout out;
        std::vector<int> roots, globalMeshes;
        for (;;) {
            const Token t = in_.Next();
            if (t.kind == kEnd || t.kind == kBad) break;
            if (t.kind == kClose) continue;  // ignored
            if (Is(t, "template")) {
                Skip(kClose);  // a template's body holds no braces
            } else if (Is(t, "Frame")) {
                roots.push_back(Frame());
            } else if (Is(t, "Mesh")) {
                globalMeshes.push_back(Mesh());
            } else if (Is(t, "Material")) {
                out.globals.push_back(Material());
            } else {
                Unknown(t);
            }
        }
        // Several top-level frames hang under one root that holds no mesh.
        int root = roots.size() == 1 ? roots[0] : -1;
        if (roots.size() > 1) {
            root = static_cast<int>(frames_.size());
            frames_.push_back({true, {}, roots});
        }
        if (root >= 0) {
            Filter(root);
            Order(root, &out);
        }
        for (int m : globalMeshes) out.meshes.push_back(meshes_[m]);
        return out;
    }

  private:
    struct FrameNode {
        bool named = false;
        std::vector<int> meshes, children;
    };

    static bool Is(const Token& t, std::string_view word) {
        return t.kind == kWord && !t.afterStray && t.text == word;
    }

    // To the next token of `kind` (or the end).
    void Skip(Kind kind) {
        for (Token t = in_.Next(); t.kind != kind && t.kind != kEnd && t.kind != kBad;)
            t = in_.Next();
    }
    // Past the brace that closes the one just read.
    void SkipBody() {
        for (int depth = 1; depth > 0;) {
            const Token t = in_.Next();
            if (t.kind == kEnd || t.kind == kBad) return;
            depth += t.kind == kOpen ? 1 : t.kind == kClose ? -1 : 0;
        }
    }
    // An object the reader does not know, `first` its first token: up to
    // its opening brace and through its body.
    void Unknown(const Token& first) {
        if (first.kind != kOpen) Skip(kOpen);
        SkipBody();
    }
    // An object's optional name and its opening brace; false without one.
    bool Head(XMaterialEntry* name = nullptr) {
        Token t = in_.Next();
        if (t.kind == kOpen) return true;
        if (name) {
            name->named = true;
            name->name = std::string(t.text);
        }
        t = in_.Next();
        return t.kind == kOpen;
    }

    int Frame() {
        const int self = static_cast<int>(frames_.size());
        XMaterialEntry name;
        frames_.emplace_back();
        if (!Head(&name)) return self;
        frames_[self].named = name.named && !name.name.empty();
        for (;;) {
            const Token t = in_.Next();
            if (t.kind == kEnd || t.kind == kBad || t.kind == kClose) break;
            if (Is(t, "Frame")) {
                const int child = Frame();
                frames_[self].children.push_back(child);
            } else if (Is(t, "Mesh")) {
                const int mesh = Mesh();
                frames_[self].meshes.push_back(mesh);
            } else {  // FrameTransformMatrix too: nothing here
                Unknown(t);
            }
        }
        return self;
    }

    int Mesh() {
        const int self = static_cast<int>(meshes_.size());
        meshes_.emplace_back();
        if (!Head()) return self;
        Lexer guid = in_;
        if (guid.Next().kind == kOther) in_ = guid;
        double points = 0, faces = 0, k = 0;
        Count(in_, 3, &points);
        Numbers(in_, points * 3, -1);
        Count(in_, 1, &faces);
        meshes_[self].faces = static_cast<std::uint32_t>(faces);
        for (double i = 0; i < faces; ++i) {
            Count(in_, 1, &k);
            Numbers(in_, k, -1);
        }
        for (;;) {
            const Token t = in_.Next();
            if (t.kind == kEnd || t.kind == kBad || t.kind == kClose) break;
            if (Is(t, "MeshMaterialList")) {
                MaterialList(&meshes_[self]);
            } else {
                Unknown(t);
            }
        }
        return self;
    }

    // The list's entries, and the faces each takes (a single face material
    // stands for every face).
    void MaterialList(XMeshLayout* mesh) {
        if (!Head()) return;
        double declared = 0, count = 0;
        Count(in_, 1, &declared);
        Count(in_, 1, &count);
        std::vector<std::uint32_t> faceMaterials;
        for (double i = 0; i < count; ++i)
            faceMaterials.push_back(static_cast<std::uint32_t>(in_.Next().value));
        if (faceMaterials.size() == 1)
            faceMaterials.resize(std::max(mesh->faces, 1u), faceMaterials[0]);
        mesh->hasFaceMaterials = mesh->hasFaceMaterials || !faceMaterials.empty();
        for (;;) {
            const Token t = in_.Next();
            if (t.kind == kEnd || t.kind == kBad || t.kind == kClose) break;
            if (Is(t, "Material")) {
                mesh->entries.push_back(Material());
            } else if (t.kind == kOpen && !t.afterStray) {
                XMaterialEntry e;
                e.reference = true;
                e.name = std::string(in_.Next().text);
                mesh->entries.push_back(e);
                Skip(kClose);
            } else {
                Unknown(t);
            }
        }
        // A face material indexes the mesh's entries of all its lists.
        mesh->faceCounts.resize(mesh->entries.size(), 0);
        for (std::uint32_t m : faceMaterials)
            if (m < mesh->faceCounts.size()) ++mesh->faceCounts[m];
    }

    XMaterialEntry Material() {
        XMaterialEntry e;
        if (Head(&e)) SkipBody();
        return e;
    }

    // A frame with no mesh and one unnamed child frame that has meshes takes
    // over the child's meshes; the child goes, with whatever it holds.
    void Filter(int f) {
        if (frames_[f].children.size() == 1 && frames_[f].meshes.empty()) {
            const FrameNode& child = frames_[frames_[f].children[0]];
            if (!child.named && !child.meshes.empty()) {
                frames_[f].meshes = child.meshes;
                frames_[f].children.clear();
            }
        }
        for (int c : frames_[f].children) Filter(c);
    }

    void Order(int f, XFileLayout* out) const {
        for (int m : frames_[f].meshes) out->meshes.push_back(meshes_[m]);
        for (int c : frames_[f].children) Order(c, out);
    }

    Lexer in_;
    std::vector<FrameNode> frames_;
    std::vector<XMeshLayout> meshes_;
};

}  // namespace

XFileLayout XMaterialLayout(const std::uint8_t* bytes, std::size_t size) {
    return LayoutReader(bytes, size).Read();
}

}  // namespace platform::assimp
