// The mesh viewer's content generator: a die as a text X file (a cube of 24
// corners and 12 triangles, one material naming its texture), the texture
// (six coloured faces with their pips, side by side in a 3 x 2 sheet), a
// backdrop and the menu's picture, all into the folder named on the
// command line. The build runs it before the game.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/core/png.h"  // platform::SaveBmp

namespace {

constexpr int kCell = 128;  // one face's square in the texture sheet

struct Image {
    int width, height;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, row by row from the top left
    Image(int w, int h) : width(w), height(h), pixels(w * h) {}
    std::uint32_t& at(int x, int y) { return pixels[y * width + x]; }
};

bool Save(const std::string& path, const Image& image) {
    std::string error;
    if (platform::SaveBmp(path, image.pixels.data(), image.width, image.height, &error))
        return true;
    std::fprintf(stderr, "make_content: %s\n", error.c_str());
    return false;
}

// The face with `pips` pips (1 to 6) into the cell at (left, top): a bright
// colour of its own, a darker border so the cube's edges show, white pips.
void DrawFace(Image& sheet, int left, int top, int pips) {
    constexpr std::uint32_t kColours[] = {0xFFE04040u, 0xFFF09030u, 0xFFE8D040u,
                                          0xFF50B050u, 0xFF4080E0u, 0xFF9060D0u};
    // Where the pips go, on a 3 x 3 grid (0 to 8, row by row), for 1 to 6.
    static const std::vector<int> kLayouts[] = {{4},          {0, 8},          {0, 4, 8},
                                                {0, 2, 6, 8}, {0, 2, 4, 6, 8}, {0, 2, 3, 5, 6, 8}};
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const int edge = std::min(std::min(x, y), std::min(kCell - 1 - x, kCell - 1 - y));
            std::uint32_t colour = kColours[pips - 1];
            if (edge < 6)
                colour = (colour >> 1) & 0xFF7F7F7Fu;  // half as bright
            else if (edge < 10)
                colour = colour | 0xFF404040u;  // a light bevel
            for (int spot : kLayouts[pips - 1]) {
                const float dx = static_cast<float>(x - (32 + 32 * (spot % 3)));
                const float dy = static_cast<float>(y - (32 + 32 * (spot / 3)));
                if (dx * dx + dy * dy < 12.0f * 12.0f) colour = 0xFFFFFFF0u;
            }
            sheet.at(left + x, top + y) = colour | 0xFF000000u;
        }
}

// The cube's six faces: pips, the outward axis n, and the face's right and
// down directions r and d as seen from outside (r x d = n). Opposite faces
// add up to 7. The device draws a triangle only from the side where its
// corners run clockwise, which is the outside for corners taken in the
// order right-down, as DieMesh does.
struct Face {
    int pips;
    float n[3], r[3], d[3];
};
constexpr Face kFaces[] = {
    {1, {0, 0, -1}, {1, 0, 0}, {0, -1, 0}}, {6, {0, 0, 1}, {-1, 0, 0}, {0, -1, 0}},
    {2, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}},  {5, {-1, 0, 0}, {0, 0, -1}, {0, -1, 0}},
    {3, {0, 1, 0}, {1, 0, 0}, {0, 0, -1}},  {4, {0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
};

// The X file: every face is four corners of its own (each with the texture
// coordinates of its cell in the sheet) and two triangles.
std::string DieMesh() {
    std::string corners, triangles, uvs;
    char line[96];
    for (int f = 0; f < 6; ++f) {
        const Face& face = kFaces[f];
        const int cell = face.pips - 1;  // cell 0 to 5: columns 0 to 2, rows 0 to 1
        for (int c = 0; c < 4; ++c) {
            const float s = (c == 1 || c == 2) ? 1.0f : -1.0f, t = c >= 2 ? 1.0f : -1.0f;
            float p[3];
            for (int i = 0; i < 3; ++i) p[i] = face.n[i] + s * face.r[i] + t * face.d[i];
            std::snprintf(line, sizeof line, "  %g;%g;%g;,\n", p[0], p[1], p[2]);
            corners += line;
            // A texel in from the cell's edges, so no neighbour bleeds in.
            const float u =
                (static_cast<float>(cell % 3 * kCell) + (s > 0 ? kCell - 1 : 1)) / (3 * kCell);
            const float v =
                (static_cast<float>(cell / 3 * kCell) + (t > 0 ? kCell - 1 : 1)) / (2 * kCell);
            std::snprintf(line, sizeof line, "   %g;%g;,\n", u, v);
            uvs += line;
        }
        const int b = 4 * f;
        std::snprintf(line, sizeof line, "  3;%d,%d,%d;,\n  3;%d,%d,%d;,\n", b, b + 1, b + 2, b,
                      b + 2, b + 3);
        triangles += line;
    }
    // The last item of each list ends in ";;" instead of ";,".
    for (std::string* list : {&corners, &triangles, &uvs}) (*list)[list->size() - 2] = ';';
    std::string materials;
    for (int i = 0; i < 12; ++i) materials += i < 11 ? "   0,\n" : "   0;;\n";
    return "xof 0302txt 0032\n\nMesh Die {\n  24;\n" + corners + "  12;\n" + triangles +
           "  MeshTextureCoords {\n   24;\n" + uvs + "  }\n  MeshMaterialList {\n   1;\n   12;\n" +
           materials +
           "   Material {\n    1.0;1.0;1.0;1.0;;\n    0.0;\n    0.0;0.0;0.0;;\n"
           "    0.0;0.0;0.0;;\n    TextureFilename {\n     \"die.bmp\";\n    }\n   }\n  }\n}\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CONTENT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    Image sheet(3 * kCell, 2 * kCell);
    for (int cell = 0; cell < 6; ++cell)
        DrawFace(sheet, cell % 3 * kCell, cell / 3 * kCell, cell + 1);
    // The backdrop: slate blue, lighter towards the middle.
    Image backdrop(1024, 768);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const float dx = (x - 512) / 512.0f, dy = (y - 384) / 384.0f;
            const int light = static_cast<int>(60 - 35 * std::sqrt(dx * dx + dy * dy) / 1.4f);
            backdrop.at(x, y) = 0xFF000000u | light << 16 | (light + 10) << 8 | (light + 30);
        }
    // The menu's picture: the five face on the backdrop's colour.
    Image thumb(128, 96);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 128; ++x) {
            const bool inFace = x >= 32 && x < 96 && y >= 16 && y < 80;
            thumb.at(x, y) =
                inFace ? sheet.at(kCell + (x - 32) * 2, kCell + (y - 16) * 2) : 0xFF303C50u;
        }
    std::ofstream mesh(folder + "/die.x");
    mesh << DieMesh();
    mesh.close();
    if (!mesh) {
        std::fprintf(stderr, "make_content: cannot write %s/die.x\n", folder.c_str());
        return 1;
    }
    const bool ok = Save(folder + "/die.bmp", sheet) && Save(folder + "/backdrop.bmp", backdrop) &&
                    Save(folder + "/thumb_die.bmp", thumb);
    return ok ? 0 : 1;
}
