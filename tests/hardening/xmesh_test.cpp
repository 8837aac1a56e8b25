// Damaged, foreign and hostile mesh files fail to load instead of stopping
// the game, with the reason on the file's one line; subsets follow the file.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/assimp/assimp_driver.h"
#include "platform/assimp/x_file_check.h"
#include "platform/core/x_mesh_data.h"
#include "support/run_process.h"

namespace {

using namespace std::string_literals;

// `depth` frames around `inside`, as text or as binary tokens.
std::string Nested(int depth, const std::string& inside) {
    std::string s = "xof 0303txt 0032\n";
    for (int i = 0; i < depth; ++i) s += "Frame a {\n";
    s += inside;
    return s + std::string(depth, '}');
}
std::string NestedBinary(int depth) {
    std::string s = "xof 0303bin 0032";
    for (int i = 0; i < depth; ++i) s += "\1\0\5\0\0\0Frame\1\0\1\0\0\0a\x0a\0"s;
    for (int i = 0; i < depth; ++i) s += "\x0b\0"s;
    return s;
}

// Each bad case is refused before Assimp reads it: the cases that crashed
// Assimp's X reader (null and out-of-bounds reads, stack overflow), made it
// allocate gigabytes or work for minutes, cut down from what the fuzzer and
// hand-made files found.
TEST(XMeshFiles, OnlySoundXFilesLoad) {
    const std::string dir = MakeTempDir("xmesh");
    const std::string points = "xof 0303txt 0032\nMesh {\n3; 0;0;0;, 1;0;0;, 0;1;0;;\n";
    const std::string head = points + "1; 3;0,1,2;;\n";
    const std::string material = "Material { 1;1;1;1;; 1; 0;0;0;; 0;0;0;; }";
    const std::string list = "MeshMaterialList { 1; 1; 0;; " + material + " }";
    // A mesh whose list's material nests three levels below the mesh's frames.
    const std::string framed = head.substr(head.find("Mesh")) + list + "}\n";
    std::string face65 = "65;", points65 = "65;", faces500001 = "500001;";
    for (int i = 0; i < 65; ++i) {
        face65 += std::to_string(i) + (i < 64 ? "," : ";;");
        points65 += std::to_string(i) + ";0;0;" + (i < 64 ? "," : ";");
    }
    for (int i = 0; i < 500001; ++i) faces500001 += i < 500000 ? "3;0,1,2;," : "3;0,1,2;;";
    std::string points27;
    for (int i = 0; i < 27; ++i) points27 += "0;";
    // A bone's weights: its name, vertex indices, weights and offset matrix.
    auto skin = [](const std::string& name, const std::string& vertex) {
        return "SkinWeights { \"" + name + "\"; 1; " + vertex +
               "; 1.0; 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1;; }\n";
    };
    // 200 bones of a mesh of 1000 vertices and 64 faces, each of its own
    // material: Assimp goes over the vertices 200 x 64 times.
    std::string skinned = "xof 0303txt 0032\nMesh { 1000;", materials = "";
    for (int i = 0; i < 1000; ++i) skinned += std::to_string(i) + ";0;0;" + (i < 999 ? "," : ";");
    skinned += "64;";
    for (int i = 0; i < 64; ++i) skinned += i < 63 ? "3;0,1,2;," : "3;0,1,2;;";
    skinned += "MeshMaterialList { 64; 64;";
    for (int i = 0; i < 64; ++i) {
        skinned += std::to_string(i) + (i < 63 ? "," : ";;");
        materials += material;
    }
    skinned += materials + "}\n";
    for (int i = 0; i < 200; ++i) skinned += skin("b", "0");
    const std::string textured =
        "MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 1; 0;0;0;; "
        "0;0;0;; TextureFilename { \"}}}\"; } } }\n";
    struct Case {
        const char* name;
        std::string bytes;
        bool loads;
    };
    const Case cases[] = {
        {"good", head + "MeshMaterialList { 1; 1; 0;; " + material + " }\n}\n", true},
        {"faceless", points + "2; 3;0,1,2;, 0;;\n}\n", false},
        {"short", "xof 0303txt", false},
        {"no-material", head + "MeshMaterialList { 1; 1; 0;; }}", false},
        {"index-past-materials", head + "MeshMaterialList { 1; 1; 1;; " + material + " }}", false},
        {"two-material-lists",
         head + "MeshMaterialList { 1; 1; 0;; " + material + " } MeshMaterialList { 1; 1; 0;; " +
             material + " }}",
         false},
        {"normal-past-normals", head + "MeshNormals { 1; 0;0;1;; 1; 3;0,0,9;; }}", false},
        {"huge-count", "xof 0303txt 0032\nMesh { 99999999; 0;0;0;; }", false},
        // Assimp takes a NUL into a name: this is a mesh of -2 (4294967294) vertices.
        {"nul-in-name", "xof 0303txt 0032\nMesh a\0b { -2; }"s, false},
        {"huge-count-bin", "xof 0303bin 0032\1\0\4\0\0\0Mesh\x0a\0\3\0\xff\xff\xff\x0f"s, false},
        // What the fuzzer found, cut down: where Assimp reads an integer and
        // finds a float list, it takes the list's length (0) as the vertex
        // count and the next value (1) as the face count; the first vertex
        // coordinate is then that face's index count, 4294967295, which
        // Assimp reads on past the end as zeros.
        {"float-list-as-count-bin",
         "xof 0303bin 0032\1\0\4\0\0\0Mesh\x0a\0\7\0\0\0\0\0\3\0\1\0\0\0"
         "\3\0\xff\xff\xff\xff\3\0\0\0\0\0\3\0\0\0\0\0\3\0\0\0\0\0"s,
         false},
        // Assimp reads 16 of this matrix's 21 floats and the other 5 as tokens:
        // a brace, then a mesh of 4294967295 vertices.
        {"list-read-on-as-tokens-bin",
         "xof 0303bin 0032\1\0\5\0\0\0Frame\x0a\0\1\0\x14\0\0\0FrameTransformMatrix\x0a\0"
         "\7\0\x15\0\0\0"s +
             std::string(64, '\0') +
             "\x0b\0\1\0\4\0\0\0Mesh\x0a\0\xff\xff\xff\xff\0\0\x0b\0\x0b\0"s,
         false},
        // Assimp writes a bone's weight at its vertex unchecked: a weight must
        // be for a vertex of the mesh the bone is in, which a mesh skipped
        // inside it or a string's braces do not change.
        {"skin-weights", head + skin("Bip01 L Thigh", "2") + "}", true},
        {"skin-weight-past-vertices", head + skin("b", "3") + "}", false},
        {"skin-weight-after-inner-mesh",
         head + "Skipped { Mesh { 9; " + points27 + " 0; } }\n" + skin("b", "8") + "}", false},
        {"skin-weight-after-braces-in-string", head + textured + skin("b", "8") + "}", false},
        {"bones-times-materials-times-vertices", skinned + "}", false},
        // Assimp copies a frame's name into 1024 bytes, its NUL included.
        {"frame-name-of-1023",
         "xof 0303txt 0032\nFrame " + std::string(1023, 'a') + " {" + framed + "}", true},
        {"frame-name-of-1024",
         "xof 0303txt 0032\nFrame " + std::string(1024, 'a') + " {" + framed + "}", false},
        {"compressed", "xof 0303tzip0032\0\0\0\0"s, false},
        // A binary string whose length field ends the file: no room for its terminator.
        {"string-at-end-bin", "xof 0303bin 0032\2\0\0\0\0\0"s, false},
        // Assimp takes a quoted name as well: the count must still fit.
        {"huge-count-string-name", "xof 0303txt 0032\nMesh \"x\" { 99999999; 0;0;0;; }", false},
        // 30,000 nested frames overflowed the stack; 128 levels of braces pass.
        {"nested-30000", Nested(30000, framed), false},
        {"nested-30000-bin", NestedBinary(30000), false},
        {"nested-128", Nested(125, framed), true},
        {"nested-129", Nested(126, framed), false},
        // Triangulating a face takes the square of its indices: at most 64.
        {"face-of-65-indices", "xof 0303txt 0032\nMesh {" + points65 + "1;" + face65 + "}", false},
        {"triangles-past-500000", points + faces500001 + "}", false},
    };
    for (const Case& c : cases) {
        // Exactly the file's bytes, so that a read past them is caught.
        const std::vector<std::uint8_t> bytes(c.bytes.begin(), c.bytes.end());
        EXPECT_EQ(platform::assimp::XFileFault(bytes.data(), bytes.size()) == nullptr, c.loads)
            << c.name;
        const std::string path = dir + "/" + c.name + ".x";
        WriteFile(path, c.bytes);
        XMeshData mesh;
        const HRESULT hr = platform::assimp::kMeshLoader.load(path.c_str(), &mesh);
        EXPECT_EQ(SUCCEEDED(hr), c.loads) << c.name;
        EXPECT_EQ(mesh.indices.size(), c.loads ? 3u : 0u) << c.name;
    }
    XMeshData mesh;
    EXPECT_TRUE(FAILED(platform::assimp::kMeshLoader.load((dir + "/none.x").c_str(), &mesh)));
}

// Assimp gives up on a file at a frame without its brace, and the check does
// not look at what follows; nor may the reader of the file's subsets, which
// took the mesh after it at its word (99999999 face materials, 1e300 faces).
TEST(XMeshFiles, TheSubsetReaderStopsWhereAssimpGivesUp) {
    const std::string files[] = {
        "xof 0303txt 0032\nFrame A B Mesh { 0; 1; 1; x MeshMaterialList { 1; 99999999; } }",
        "xof 0303txt 0032\nFrame A B Mesh { 0; 1e300; }"};
    for (const std::string& f : files) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(f.data());
        EXPECT_TRUE(platform::assimp::XMaterialLayout(bytes, f.size()).meshes.empty()) << f;
        XMeshData mesh;
        EXPECT_TRUE(FAILED(platform::assimp::LoadXMeshMemory(f.data(), f.size(), &mesh))) << f;
    }
}

// Subsets are the entries of the file's material lists in order, whatever
// order Assimp keeps its materials in: those outside any mesh are not
// subsets until a list names them, a reference keeps its material's subset,
// and a file without materials has none (Assimp adds a grey one).
TEST(XMeshFiles, SubsetsFollowTheMaterialLists) {
    const std::string head = "xof 0303txt 0032\n";
    const std::string mesh = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 3; 3;0,1,2;, 3;0,2,1;, 3;1,2,0;;";
    auto material = [](const std::string& name, const std::string& red) {
        return "Material " + name + " { " + red + ";1;1;1;; 1; 0;0;0;; 0;0;0;; }";
    };
    struct Case {
        const char* name;
        std::string text;
        std::vector<float> reds;           // each subset's material, in order
        std::vector<std::uint32_t> faces;  // the subset of each face, file order
    };
    const Case cases[] = {
        {"no-materials", head + mesh + " }", {}, {0, 0, 0}},
        {"global-materials",
         head + material("B", "0.5") + material("Unused", "1") + material("A", "0.25") + mesh +
             " MeshMaterialList { 2; 3; 1,0,1;; {A} {B} } }",
         {0.25f, 0.5f},
         {1, 0, 1}},
        {"reference-to-own",
         head + mesh + " MeshMaterialList { 3; 3; 2,1,0;; " + material("X", "0.25") + " {X} " +
             material("Y", "0.5") + " } }",
         {0.25f, 0.5f},
         {1, 0, 0}},
        {"unused-entry-kept",
         head + mesh + " MeshMaterialList { 2; 1; 1;; " + material("P", "0.25") +
             material("Q", "0.5") + " } }",
         {0.25f, 0.5f},
         {1, 1, 1}},
    };
    for (const Case& c : cases) {
        XMeshData data;
        ASSERT_EQ(platform::assimp::LoadXMeshMemory(c.text.data(), c.text.size(), &data), S_OK)
            << c.name;
        std::vector<float> reds;
        for (const XMeshMaterial& m : data.materials) reds.push_back(m.diffuse[0]);
        EXPECT_EQ(reds, c.reds) << c.name;
        // Faces by their first vertex's position, which tells them apart here.
        ASSERT_EQ(data.faceMaterial.size(), 3u) << c.name;
        std::vector<std::uint32_t> faces(3);
        for (std::size_t f = 0; f < 3; ++f) {
            const XMeshVertex& v0 = data.vertices[data.indices[3 * f]];
            const XMeshVertex& v1 = data.vertices[data.indices[3 * f + 1]];
            const std::size_t fileFace = v0.x == 1 ? 2 : v1.x == 1 ? 0 : 1;
            faces[fileFace] = data.faceMaterial[f];
        }
        EXPECT_EQ(faces, c.faces) << c.name;
    }
}

// The tiger level's line for a tiger.x Assimp refuses names Assimp's reason,
// and a texture name from the mesh reaches the terminal with its control
// bytes escaped.
TEST(XMeshFiles, TigerLinesGiveTheReasonAndEscapeNames) {
    const std::string dir = "tiger-lines";
    std::filesystem::copy(VELMOR_CONTENT_DIR, dir, std::filesystem::copy_options::recursive);
    const std::string points = "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;";
    struct Case {
        std::string tiger, line;
    } cases[] = {
        {points + " MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; } }",
         "velmor: cannot load 'tiger.x': the X reader refuses it: Line 1: Normal face count does "
         "not match vertex face count; '../Tiger.x': no such file\n"},
        {points + " MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 1; 0;0;0;; 0;0;0;; "
                  "TextureFilename { \"\x1b]0;title\x07\x1b[31m.bmp\"; } } } }",
         "velmor: cannot load '\\x1B]0;title\\x07\\x1B[31m.bmp' (also tried "
         "'../\\x1B]0;title\\x07\\x1B[31m.bmp'): no such file\n"},
    };
    for (const Case& c : cases) {
        WriteFile(dir + "/tiger.x", c.tiger);
        const auto r = RunProcess(
            VELMOR_BINARY, {"--headless", "--level", "tiger", "--frames", "2", "--assets", dir},
            {"VELMOR_TRACE"});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, c.line);
    }
}

}  // namespace
