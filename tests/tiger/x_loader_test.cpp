// Loading X files: subsets, materials, texture names, positions and winding
// exactly as the file stores them, and clean failures.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/core/d3dx9mesh.h"
#include "support/run_process.h"  // WriteFile
#include "support/scene_fixture.h"

namespace {

// Three materials: a textured one, an unused one, an untextured one. The
// frame scales by 2 and moves by (10, 20, 30); the second face uses the last
// material. Vertex 3 is used by no face.
const char* kMeshText = R"(xof 0302txt 0032
Frame Root {
 FrameTransformMatrix {
  2.0,0.0,0.0,0.0, 0.0,2.0,0.0,0.0, 0.0,0.0,2.0,0.0, 10.0,20.0,30.0,1.0;;
 }
 Mesh Thing {
  5; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;, 0.0;0.0;1.0;, 1.0;1.0;1.0;;
  2; 3;0,2,1;, 3;1,2,4;;
  MeshTextureCoords { 5; 0.0;0.0;, 1.0;0.0;, 0.0;1.0;, 0.5;0.5;, 0.25;0.75;; }
  MeshMaterialList {
   3; 2; 0, 2;;
   Material Skin {
    1.0;0.5;0.25;0.75;; 8.0; 0.1;0.2;0.3;; 0.4;0.5;0.6;;
    TextureFilename { "Sub\\Skin.BMP"; }
   }
   Material Unused { 0.0;1.0;0.0;1.0;; 2.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
   Material Dark { 0.1;0.2;0.3;1.0;; 16.0; 0.5;0.5;0.5;; 0.0;0.0;0.0;; }
  }
 }
}
)";

// The same content in the binary X format: names, braces and strings as
// tokens, each run of integers or of floats as one list token.
std::string ToBinaryX(const std::string& text) {
    std::string out = "xof 0302bin 0032";
    auto word = [&](unsigned v) {
        out.append({static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)});
    };
    auto dword = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    std::vector<std::string> run;  // pending numbers of one kind
    bool runIsFloat = false;
    auto flush = [&] {
        if (run.empty()) return;
        word(runIsFloat ? 7 : 6);
        dword(static_cast<std::uint32_t>(run.size()));
        for (const std::string& n : run) {
            if (runIsFloat) {
                const float f = std::stof(n);
                std::uint32_t bits;
                std::memcpy(&bits, &f, 4);
                dword(bits);
            } else {
                dword(static_cast<std::uint32_t>(std::stoul(n)));
            }
        }
        run.clear();
    };
    std::size_t i = text.find('\n');
    while (i < text.size()) {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '-') {
            std::size_t j = i + 1;
            while (j < text.size() &&
                   (std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == '.'))
                ++j;
            const std::string n = text.substr(i, j - i);
            const bool isFloat = n.find('.') != std::string::npos;
            if (!run.empty() && isFloat != runIsFloat) flush();
            runIsFloat = isFloat;
            run.push_back(n);
            i = j;
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            flush();
            std::size_t j = i;
            while (j < text.size() &&
                   (std::isalnum(static_cast<unsigned char>(text[j])) || text[j] == '_'))
                ++j;
            word(1);
            dword(static_cast<std::uint32_t>(j - i));
            out += text.substr(i, j - i);
            i = j;
        } else if (c == '"') {
            flush();
            const std::size_t j = text.find('"', i + 1);
            std::string str = text.substr(i + 1, j - i - 1);
            for (std::size_t k; (k = str.find("\\\\")) != std::string::npos;) str.erase(k, 1);
            word(2);
            dword(static_cast<std::uint32_t>(str.size()));
            out += str;
            word(20);  // the terminating semicolon
            i = j + 2;
        } else if (c == '{' || c == '}') {
            flush();
            word(c == '{' ? 10 : 11);
            ++i;
        } else {
            ++i;  // separators and white space carry nothing in binary
        }
    }
    flush();
    return out;
}

class XLoaderTest : public SceneTest {
  protected:
    HRESULT Load(const char* name) {
        return D3DXLoadMeshFromXA(name, D3DXMESH_SYSTEMMEM, engine->renderer->device, nullptr,
                                  &buffer, nullptr, &count, &mesh);
    }
    ID3DXBuffer* buffer = nullptr;
    DWORD count = 0;
    ID3DXMesh* mesh = nullptr;
};

TEST_F(XLoaderTest, TextFileKeepsMaterialsPositionsAndWinding) {
    WriteFile("Thing.x", kMeshText);
    // Name resolution as for images: any letter case, backslash separators.
    ASSERT_EQ(Load(".\\thing.X"), D3D_OK);
    ASSERT_EQ(count, 3u);
    const auto* m = static_cast<const D3DXMATERIAL*>(buffer->GetBufferPointer());
    const D3DMATERIAL9& skin = m[0].MatD3D;
    EXPECT_EQ(skin.Diffuse.g, 0.5f);
    EXPECT_EQ(skin.Diffuse.a, 0.75f);
    EXPECT_EQ(skin.Power, 8.0f);
    EXPECT_FLOAT_EQ(skin.Specular.b, 0.3f);
    EXPECT_FLOAT_EQ(skin.Emissive.r, 0.4f);
    ASSERT_NE(m[0].pTextureFilename, nullptr);
    EXPECT_STREQ(m[0].pTextureFilename, "Sub\\Skin.BMP");
    EXPECT_EQ(m[1].MatD3D.Diffuse.g, 1.0f);
    EXPECT_EQ(m[1].pTextureFilename, nullptr);
    EXPECT_FLOAT_EQ(m[2].MatD3D.Diffuse.b, 0.3f);
    EXPECT_EQ(m[2].pTextureFilename, nullptr);

    // Each face, as positions after the frame transform, in the file's order.
    ASSERT_EQ(mesh->GetNumFaces(), 2u);
    const float expected[6][5] = {{10, 20, 30, 0, 0}, {10, 22, 30, 0, 1},
                                  {12, 20, 30, 1, 0}, {12, 20, 30, 1, 0},
                                  {10, 22, 30, 0, 1}, {12, 22, 32, 0.25f, 0.75f}};
    for (int i = 0; i < 6; ++i) {
        const MeshVertex c = mesh->Vertices()[mesh->Indices()[i]];
        const float got[5] = {c.x, c.y, c.z, c.u, c.v};
        for (int k = 0; k < 5; ++k) EXPECT_FLOAT_EQ(got[k], expected[i][k]) << i << "," << k;
    }
    EXPECT_EQ(mesh->Attributes()[0], 0u);
    EXPECT_EQ(mesh->Attributes()[1], 2u);
}

// Binary X files go through the same conversion: the same mesh comes out.
TEST_F(XLoaderTest, BinaryFileLoadsTheSameAsText) {
    WriteFile("text.x", kMeshText);
    ASSERT_EQ(Load("text.x"), D3D_OK);
    ID3DXMesh* text = mesh;
    WriteFile("bin.x", ToBinaryX(kMeshText));
    ASSERT_EQ(Load("bin.x"), D3D_OK);
    ASSERT_EQ(count, 3u);
    const auto* m = static_cast<const D3DXMATERIAL*>(buffer->GetBufferPointer());
    EXPECT_STREQ(m[0].pTextureFilename, "Sub\\Skin.BMP");
    EXPECT_FLOAT_EQ(m[2].MatD3D.Diffuse.b, 0.3f);
    ASSERT_EQ(mesh->GetNumFaces(), text->GetNumFaces());
    for (DWORD i = 0; i < 3 * mesh->GetNumFaces(); ++i) {
        const MeshVertex a = text->Vertices()[text->Indices()[i]];
        const MeshVertex b = mesh->Vertices()[mesh->Indices()[i]];
        EXPECT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z && a.u == b.u && a.v == b.v) << i;
    }
    EXPECT_EQ(mesh->Attributes()[1], 2u);
}

TEST_F(XLoaderTest, BrokenOrMissingFilesFailWithACode) {
    const std::string text = kMeshText;
    WriteFile("cut.x", text.substr(0, text.size() / 2));
    WriteFile("junk.x", "xof 0302txt 0032\nMesh { 3; 1;2;");
    WriteFile("empty.x", "");
    for (const char* name : {"cut.x", "junk.x", "empty.x", "missing.x"}) {
        EXPECT_LT(Load(name), 0) << name;
        EXPECT_EQ(mesh, nullptr) << name;
        EXPECT_EQ(buffer, nullptr) << name;
    }
}

}  // namespace
