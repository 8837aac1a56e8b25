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
    bool Binary() const { return binary_; }
    void Finish() {
        pos_ = n_;
        listLeft_ = 0;
    }
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
    // Where Assimp expects a string it reads through the closing quote (a
    // string without one it refuses), so a brace in one, or a comment mark
    // that starts a token here, would count here and not there.
    static bool PlainString(std::string_view rest) {
        const std::string_view text = rest.substr(0, rest.find('"'));
        if (text.size() == rest.size()) return true;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const bool comment = text[i] == '#' || text.substr(i, 2) == "//";
            if (text[i] == '{' || text[i] == '}' ||
                (comment && i > 0 &&
                 (Space(text[i - 1]) || text[i - 1] == ';' || text[i - 1] == ',')))
                return false;
        }
        return true;
    }

    Token NextText() {
        while (pos_ < n_) {
            const char c = static_cast<char>(p_[pos_]);
            if (c == '#' || (c == '/' && pos_ + 1 < n_ && p_[pos_ + 1] == '/')) {
                while (pos_ < n_ && p_[pos_] != '\n' && p_[pos_] != '\r') ++pos_;
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
        if (c == '"' && !PlainString(std::string_view(s, n_ - pos_).substr(1)))
            return {kBad, 0, {}};
        std::size_t len = 0;
        while (pos_ < n_ && !Space(static_cast<char>(p_[pos_])) &&
               !Delimiter(static_cast<char>(p_[pos_])))
            ++pos_, ++len;
        // Assimp reads "1.#IND00" as a float with the byte after it.
        if (std::string_view(s, len) == "1.#IND00" && pos_ < n_ &&
            (*(s + len) == '{' || *(s + len) == '}'))
            return {kBad, 0, {}};
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

// Assimp copies a frame's name into 1024 bytes, its NUL included, unchecked.
constexpr std::size_t kMaxFrameName = 1023;

// The limits as the refusals below name them.
static_assert(kMaxXNesting == 128 && kMaxXFaceIndices == 64 && kMaxXTriangles == 500000 &&
              kMaxXSkinWork == 8 << 20);

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
const char* MeshCounts(Lexer& in, double* points, double* faces, double* triangles) {
    double k = 0;
    if (!Count(in, 3, points)) return "a mesh's vertex count exceeds the file";
    if (const char* f = Numbers(in, *points * 3, -1)) return f;
    if (!Count(in, 1, faces)) return "a mesh's face count exceeds the file";
    for (double i = 0; i < *faces; ++i) {
        if (!Count(in, 1, &k)) return "a face's index count exceeds the file";
        if (k == 0) return "a face has no indices";
        if (k > kMaxXFaceIndices) return "a face has more than 64 indices";
        *triangles += std::max(k - 2, 1.0);
        if (*triangles > kMaxXTriangles) return "the meshes have more than 500000 triangles";
        if (const char* f = Numbers(in, k, *points)) return f;
    }
    return in.MidList() ? "a mesh's number list runs past its faces" : nullptr;
}

// Assimp counts the Material objects and {references} the list holds, not
// the number it declares, and indexes them with each face's material; it
// adds every list's face materials to its mesh's and reads one per face.
const char* MaterialList(Lexer& in, double meshFaces, double* materials) {
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
    *materials += given;
    if (faces > 0 && given == 0) return "a material list gives face materials but no material";
    if (declared > given) return "a material list names more materials than it gives";
    if (highest >= given) return "a face material index is past the materials given";
    return nullptr;
}

// A mesh whose braces are open: the depth inside them, what its counts say
// and the materials and bones found in it so far.
struct OpenMesh {
    int depth;
    double points, faces, triangles, materials = 0, bones = 0;
};

// What the objects read so far hold: the faces of the mesh read last, which
// its first material list takes up, the triangles of the meshes and of their
// normals, the open meshes and what the bones of those closed take Assimp.
struct Totals {
    double meshFaces = 0, meshTriangles = 0, normalTriangles = 0, skinWork = 0;
    std::vector<OpenMesh> openMeshes;
};

// What turning skin weights into bones takes Assimp: for each bone, each
// material the faces use (at most the materials and the faces) goes over the
// vertices, and they all over the face indices (at most 3 a triangle).
bool SkinWorkFits(double* work, double bones, double materials, double faces, double points,
                  double triangles) {
    *work += bones * (std::max(1.0, std::min(materials, faces)) * points + 6 * triangles);
    return *work <= kMaxXSkinWork;
}

// The innermost open mesh's braces close.
const char* CloseMesh(Totals* totals) {
    const OpenMesh m = totals->openMeshes.back();
    totals->openMeshes.pop_back();
    return SkinWorkFits(&totals->skinWork, m.bones, m.materials, m.faces, m.points, m.triangles)
               ? nullptr
               : "the meshes' bones take more than 8 million steps to convert";
}

// Assimp writes each skin weight at its vertex in an array of the mesh's
// vertices, unchecked: every one must be a vertex of the mesh it is in (the
// innermost open one). Its name is a string, which may hold spaces.
const char* SkinWeights(Lexer& in, Totals* totals) {
    Token name = in.Next();
    if (name.kind == kEnd) return nullptr;
    if (name.kind == kString && !in.Binary())
        while ((name.text.size() < 2 || name.text.back() != '"') && name.kind != kEnd &&
               name.kind != kBad)
            name = in.Next();
    double n = 0;
    if (!Count(in, 2, &n)) return "a skin weight count exceeds the file";
    if (totals->openMeshes.empty()) return nullptr;  // not in a mesh: Assimp skips it
    totals->openMeshes.back().bones += 1;
    const double vertices = totals->openMeshes.back().points;
    for (double i = 0; i < n; ++i)
        if (!IsCount(in.Next(), vertices - 1)) return "a skin weight's vertex is past the mesh's";
    return nullptr;
}

// The object at brace depth `depth`, `in` at the first token inside it.
const char* Object(std::string_view name, Lexer& in, int depth, Totals* totals) {
    double n = 0;
    if (name == "Mesh") {
        double points = 0;
        const double before = totals->meshTriangles;
        const char* fault = MeshCounts(in, &points, &totals->meshFaces, &totals->meshTriangles);
        totals->openMeshes.push_back(
            {depth + 1, points, totals->meshFaces, totals->meshTriangles - before});
        return fault;
    }
    if (name == "MeshNormals") return MeshCounts(in, &n, &n, &totals->normalTriangles);
    if (name == "MeshMaterialList") {
        double unused = 0;
        return MaterialList(
            in, std::exchange(totals->meshFaces, 0),
            totals->openMeshes.empty() ? &unused : &totals->openMeshes.back().materials);
    }
    if (name == "MeshTextureCoords" && !Count(in, 2, &n))
        return "a texture coordinate count exceeds the file";
    if (name == "MeshVertexColors" && !Count(in, 5, &n))
        return "a vertex colour count exceeds the file";
    if (name == "SkinWeights") return SkinWeights(in, totals);
    if (name == "AnimationKey" && in.Next().kind == kNumber && !Count(in, 3, &n))
        return "an animation key count exceeds the file";
    return nullptr;
}

// Assimp's X reader on a binary file, value by value. It takes a number from
// the list it is reading, or else from a list starting there if the list is of
// the kind it wants (6 for integers, 7 for floats), or else as the 4 bytes
// after whatever tag comes next; and it reads what is left of a list it has
// not finished as tokens. The lexer above takes every list whole, so its
// counts need not be the ones Assimp reads: a float list where Assimp wants an
// integer gives it the list's length and sends it on through the list's
// values as tags. Here the counts, indices and braces are the ones Assimp
// reads, in its order, each checked as XFileFault checks text; whatever would
// make Assimp stop with an error is refused here as well.
class BinaryReader {
  public:
    BinaryReader(const std::uint8_t* bytes, std::size_t size) : p_(bytes), n_(size) {}

    const char* Fault() {
        for (std::string_view t = Token(); !fault_ && !t.empty(); t = Token()) {
            if (t == "template") {
                Head();
                Token();  // its GUID
                while (!fault_ && Needed() != "}") continue;
            } else if (t == "Frame") {
                Frame(1);
            } else if (t == "Mesh") {
                Mesh();
            } else if (t == "AnimTicksPerSecond") {
                Head();
                Int();
                Close();
            } else if (t == "AnimationSet") {
                Head();
                for (std::string_view u = Needed(); !fault_ && u != "}"; u = Needed())
                    u == "Animation" ? Animation() : Unknown();
            } else if (t == "Material") {
                Material();
            } else if (t != "}") {
                Unknown();
            }
        }
        return fault_;
    }

  private:
    std::size_t Left() const { return n_ - pos_; }
    void Fail(const char* why) {
        if (!fault_) fault_ = why;
    }
    // Whether `count` items of `values` 4-byte values each fit in the rest.
    bool Fits(std::uint32_t count, std::size_t values) {
        if (std::uint64_t{count} * values * 4 <= Left()) return true;
        Fail("a count exceeds the file");
        return false;
    }

    // The next token as Assimp spells it: the text of a name or a string, or
    // the token's own spelling; empty at the end and for tags it does not
    // know, as for it. A token that runs past the end is refused (Assimp
    // would read on past it).
    std::string_view Token() {
        if (fault_ || Left() < 2) return {};
        const unsigned tag = ReadLe16(p_ + pos_);
        pos_ += 2;
        const std::uint32_t dword = Left() >= 4 ? ReadLe32(p_ + pos_) : 0;
        switch (tag) {
            case 1:    // name
            case 2: {  // string, with a 2-byte terminator
                if (Left() < 4) return {};
                pos_ += 4;
                if (dword > Left()) {
                    // Assimp gives up on a name too long for the file, and on a
                    // string up to 2 GB long; a longer string it reads.
                    return tag == 2 && dword > 0x7fffffffu ? Damaged() : "";
                }
                if (tag == 2 && dword + 2 > Left()) return Damaged();
                const std::string_view text(reinterpret_cast<const char*>(p_) + pos_, dword);
                pos_ += dword + (tag == 2 ? 2 : 0);
                return text;
            }
            case 3:  // one integer
            case 5:  // GUID
                if (Left() < (tag == 3 ? 4u : 16u)) return Damaged();
                pos_ += tag == 3 ? 4 : 16;
                return "<value>";
            case 6:  // integer list
            case 7:  // float list
                if (Left() < 4) return {};
                pos_ += 4;
                if (std::uint64_t{dword} * 4 > Left()) return Damaged();
                pos_ += std::size_t{dword} * 4;
                return "<list>";
            case 0x0a:
                return "{";
            case 0x0b:
                return "}";
            case 0x13:
                return ",";
            case 0x14:
                return ";";
            case 0x1f:
                return "template";
            default:  // other separators and keywords
                return (tag >= 0x0c && tag <= 0x12) || (tag >= 0x28 && tag <= 0x34) ? "<other>"
                                                                                    : "";
        }
    }
    std::string_view Damaged() {
        Fail("a damaged token");
        return {};
    }
    // A token inside an object, where the end of the file is an error.
    std::string_view Needed() {
        const std::string_view t = Token();
        if (t.empty()) Fail("the file ends inside an object");
        return t;
    }

    // Assimp's ReadInt and ReadFloat (of 4 bytes): 0 past the end.
    std::uint32_t Value(unsigned listTag) {
        if (listLeft_ == 0 && Left() >= 2) {
            const unsigned tag = ReadLe16(p_ + pos_);
            pos_ += 2;
            listLeft_ = 1;
            if (tag == listTag && Left() >= 4) listLeft_ = ReadLe32(p_ + pos_), pos_ += 4;
        }
        --listLeft_;  // wraps, as Assimp's does
        if (Left() < 4) {
            pos_ = n_;
            return 0;
        }
        pos_ += 4;
        return ReadLe32(p_ + pos_ - 4);
    }
    std::uint32_t Int() { return fault_ ? 0 : Value(6); }
    void Floats(std::uint64_t n) {
        for (std::uint64_t i = 0; i < n && !fault_; ++i) Value(7);
    }

    // An object's optional name and its opening brace.
    void Head(std::string_view* name = nullptr) {
        const std::string_view first = Token();
        if (first == "{") return;
        if (name) *name = first;
        if (Token() != "{") Fail("an object has no opening brace");
    }
    void Close() {
        if (Token() != "}") Fail("an object has no closing brace");
    }
    // An object Assimp skips: through its first brace and the matching one.
    void Unknown() {
        while (!fault_ && Needed() != "{") continue;
        for (int depth = 1; depth > 0 && !fault_;) {
            const std::string_view t = Needed();
            depth += t == "{" ? 1 : t == "}" ? -1 : 0;
        }
    }

    void Frame(int depth) {
        if (depth > kMaxXNesting) return Fail("objects nest deeper than 128 levels");
        std::string_view name;
        Head(&name);
        if (name.size() > kMaxFrameName) return Fail("a frame's name is longer than 1023 bytes");
        for (std::string_view t = Needed(); !fault_ && t != "}"; t = Needed()) {
            if (t == "Frame") {
                Frame(depth + 1);
            } else if (t == "FrameTransformMatrix") {
                Head();
                Floats(16);
                Close();
            } else if (t == "Mesh") {
                Mesh();
            } else {
                Unknown();
            }
        }
    }

    // Faces of counted indices into `points` points.
    void Faces(std::uint32_t faces, std::uint32_t points, double* triangles) {
        for (std::uint32_t i = 0; i < faces && !fault_; ++i) {
            const std::uint32_t k = Int();
            if (!Fits(k, 1)) return;
            if (k == 0) return Fail("a face has no indices");
            if (k > kMaxXFaceIndices) return Fail("a face has more than 64 indices");
            *triangles += std::max(k - 2.0, 1.0);
            if (*triangles > kMaxXTriangles)
                return Fail("the meshes have more than 500000 triangles");
            for (std::uint32_t j = 0; j < k; ++j)
                if (Int() >= points) return Fail("a face index past the vertices or normals");
        }
    }

    void Mesh() {
        Head();
        const std::uint32_t points = Int();
        if (!Fits(points, 3)) return;
        Floats(std::uint64_t{points} * 3);
        const std::uint32_t faces = Int();
        if (!Fits(faces, 1)) return;
        const double before = meshTriangles_;
        Faces(faces, points, &meshTriangles_);
        std::uint64_t faceMaterials = 0, materials = 0, bones = 0;
        int coordinateSets = 0, colourSets = 0;
        for (std::string_view t = Needed(); !fault_ && t != "}"; t = Needed()) {
            if (t == "MeshNormals") {
                Head();
                const std::uint32_t normals = Int();
                if (!Fits(normals, 3)) return;
                Floats(std::uint64_t{normals} * 3);
                if (Int() != faces) return Fail("a mesh's normals have another face count");
                Faces(faces, normals, &normalTriangles_);
                Close();
            } else if (t == "MeshTextureCoords" || t == "MeshVertexColors") {
                const bool colours = t == "MeshVertexColors";
                Head();
                if (++(colours ? colourSets : coordinateSets) > 8)
                    return Fail("a mesh has more than 8 texture coordinate or colour sets");
                const std::uint32_t n = Int();
                if (n != points)
                    return Fail("a mesh's texture coordinates or colours are not one a vertex");
                if (!Fits(n, colours ? 5 : 2)) return;
                for (std::uint32_t i = 0; i < n && !fault_; ++i) {
                    if (colours && Int() >= points)
                        return Fail("a vertex colour's vertex is past the mesh's");
                    Floats(colours ? 4 : 2);
                }
                Close();
            } else if (t == "MeshMaterialList") {
                MaterialList(faces, &faceMaterials, &materials);
            } else if (t == "XSkinMeshHeader") {
                Head();
                for (int i = 0; i < 3; ++i) Int();
                Close();
            } else if (t == "SkinWeights") {
                Head();
                Token();  // the name of its frame
                ++bones;
                const std::uint32_t n = Int();
                if (!Fits(n, 2)) return;
                for (std::uint32_t i = 0; i < n; ++i)
                    if (Int() >= points) return Fail("a skin weight's vertex is past the mesh's");
                Floats(std::uint64_t{n} + 16);
                Close();
            } else {
                Unknown();
            }
        }
        if (!fault_ &&
            !SkinWorkFits(&skinWork_, bones, materials, faces, points, meshTriangles_ - before))
            Fail("the meshes' bones take more than 8 million steps to convert");
    }

    // As MaterialList above; Assimp adds every list's face materials to the
    // mesh's, one for each face when a list gives a single one.
    void MaterialList(std::uint32_t faces, std::uint64_t* faceMaterials, std::uint64_t* materials) {
        Head();
        const std::uint32_t declared = Int();
        const std::uint32_t n = Int();
        if (n != faces && n != 1) return Fail("a material list's face count is not its mesh's");
        std::int64_t highest = -1;
        for (std::uint32_t i = 0; i < n && !fault_; ++i)
            highest = std::max<std::int64_t>(highest, Int());
        *faceMaterials = std::max<std::uint64_t>(*faceMaterials + n, faces);
        if (*faceMaterials > faces) return Fail("a mesh has more face materials than faces");
        std::int64_t given = 0;
        for (std::string_view t = Needed(); !fault_ && t != "}"; t = Needed()) {
            if (t == "{") {
                Token();  // the name of the material
                Close();
                ++given;
            } else if (t == "Material") {
                Material();
                ++given;
            } else if (t != ";") {
                Unknown();
            }
        }
        *materials += static_cast<std::uint64_t>(given);
        if (n > 0 && given == 0)
            return Fail("a material list gives face materials but no material");
        if (declared > given) return Fail("a material list names more materials than it gives");
        if (highest >= given) return Fail("a face material index is past the materials given");
    }

    void Material() {
        Head();
        Floats(11);
        for (std::string_view t = Needed(); !fault_ && t != "}"; t = Needed()) {
            if (t == "TextureFilename" || t == "TextureFileName" || t == "NormalmapFilename" ||
                t == "NormalmapFileName") {
                Head();
                Token();
                Close();
            } else {
                Unknown();
            }
        }
    }

    void Animation() {
        Head();
        for (std::string_view t = Needed(); !fault_ && t != "}"; t = Needed()) {
            if (t == "AnimationKey") {
                Head();
                const std::uint32_t type = Int();
                const std::uint32_t keys = Int();
                if (!Fits(keys, 5)) return;
                // A key is its time, its count of values and the values: a
                // quaternion, a vector or a matrix.
                static constexpr std::uint32_t kValues[] = {4, 3, 3, 16, 16};
                for (std::uint32_t i = 0; i < keys && !fault_; ++i) {
                    Int();
                    if (type > 4 || Int() != kValues[type])
                        return Fail("an animation key is not of its kind");
                    Floats(kValues[type]);
                }
                Close();
            } else if (t == "{") {
                Token();  // the name of its frame
                Close();
            } else {
                Unknown();  // AnimationOptions too
            }
        }
    }

    const std::uint8_t* p_;
    std::size_t n_, pos_ = 16;
    std::uint32_t listLeft_ = 0;  // values left in the list being read
    double meshTriangles_ = 0, normalTriangles_ = 0, skinWork_ = 0;
    const char* fault_ = nullptr;
};

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
        if (t.kind == kEnd) {
            while (!totals.openMeshes.empty())
                if (const char* fault = CloseMesh(&totals)) return fault;
            return format == "bin " ? BinaryReader(bytes, size).Fault() : nullptr;
        }
        if (t.kind == kBad) return "a damaged token";
        if (t.kind == kOpen && ++depth > kMaxXNesting) return "objects nest deeper than 128 levels";
        if (t.kind == kClose && depth > 0) {
            --depth;
            while (!totals.openMeshes.empty() && totals.openMeshes.back().depth > depth)
                if (const char* fault = CloseMesh(&totals)) return fault;
        }
        const bool object = t.kind == kWord && !afterWord;
        afterWord = t.kind == kWord;
        if (!object) continue;
        // A data object is its type, an optional name (any one token:
        // Assimp takes a string or a number as well), '{' and an optional
        // GUID; its contents are scanned again after it for nested objects.
        Lexer body = in;
        const Token name = body.Next();
        Token u = name;
        if (u.kind != kOpen && u.kind != kEnd && u.kind != kBad) u = body.Next();
        if (u.kind != kOpen) continue;
        if (t.text == "Frame" && name.kind != kOpen && name.text.size() > kMaxFrameName)
            return "a frame's name is longer than 1023 bytes";
        Lexer guid = body;
        if (guid.Next().kind == kOther) body = guid;
        if (const char* fault = Object(t.text, body, depth, &totals)) return fault;
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
        if (broken_) return {};
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
    // An object's optional name and its opening brace; false without one,
    // where Assimp gives up on the file: nothing after it is read.
    bool Head(XMaterialEntry* name = nullptr) {
        Token t = in_.Next();
        if (t.kind == kOpen) return true;
        if (name) {
            name->named = true;
            name->name = std::string(t.text);
        }
        if (in_.Next().kind == kOpen) return true;
        broken_ = true;
        in_.Finish();
        return false;
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
        // XFileFault checked this mesh's counts; still, each stops at the
        // end of the file.
        double points = 0, faces = 0, k = 0;
        Count(in_, 3, &points);
        Numbers(in_, points * 3, -1);
        if (!Count(in_, 1, &faces)) faces = 0;
        meshes_[self].faces = static_cast<std::uint32_t>(faces);
        for (double i = 0; i < faces; ++i)
            if (!Count(in_, 1, &k) || Numbers(in_, k, -1)) break;
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
        if (!Count(in_, 1, &count)) count = 0;
        std::vector<std::uint32_t> faceMaterials;
        for (double i = 0; i < count; ++i) {
            const Token t = in_.Next();
            if (!IsCount(t, 1e9)) break;
            faceMaterials.push_back(static_cast<std::uint32_t>(t.value));
        }
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
        const std::uint32_t each = faceMaterials.size() == 1 ? std::max(mesh->faces, 1u) : 1;
        for (std::uint32_t m : faceMaterials)
            if (m < mesh->faceCounts.size()) mesh->faceCounts[m] += each;
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
    bool broken_ = false;  // Assimp refuses the file
    std::vector<FrameNode> frames_;
    std::vector<XMeshLayout> meshes_;
};

}  // namespace

XFileLayout XMaterialLayout(const std::uint8_t* bytes, std::size_t size) {
    return LayoutReader(bytes, size).Read();
}

}  // namespace platform::assimp
