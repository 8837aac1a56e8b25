// velmor_assetgen: draws every content file of the game from code and writes
// them into one folder.
//
//   velmor_assetgen --out DIR [--contact-sheet FILE.png] [--previews DIR]
//                   [--icon FILE.png]
//
// --previews writes the five levels' scenes composed at screen size (for
// judging the art; they are not content). The menu's thumbnails are those
// scenes scaled down, so the scenes are composed on every run.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/platform_setup.h"
#include "tools/assetgen/art.h"
#include "tools/assetgen/breakout_sounds.h"
#include "tools/assetgen/contact_sheet.h"
#include "tools/assetgen/font.h"
#include "tools/assetgen/gunshot.h"
#include "tools/assetgen/icon.h"
#include "tools/assetgen/tiger_mesh.h"

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "velmor_assetgen: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace assetgen;
    InstallDrivers(true, nullptr);  // the image codec writes the sheet and previews
    std::string out, sheetPath, previewPath, iconPath;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--out") == 0 && hasValue)
            out = argv[++i];
        else if (std::strcmp(argv[i], "--contact-sheet") == 0 && hasValue)
            sheetPath = argv[++i];
        else if (std::strcmp(argv[i], "--previews") == 0 && hasValue)
            previewPath = argv[++i];
        else if (std::strcmp(argv[i], "--icon") == 0 && hasValue)
            iconPath = argv[++i];
        else
            return Fail(std::string("unknown or incomplete option '") + argv[i] +
                        "'; usage: velmor_assetgen --out DIR [--contact-sheet FILE.png] "
                        "[--previews DIR] [--icon FILE.png]");
    }
    if (out.empty()) return Fail("--out DIR is required");

    struct Image {
        const char* file;
        Canvas canvas;
        int cellWidth, cellHeight, zoom;
    };
    std::vector<Image> images;
    images.push_back({"background.bmp", MakeBackground(), 1024, 768, -2});
    images.push_back({"groundtiles.bmp", MakeGroundTiles(), 64, 64, -2});
    images.push_back({"bunny.bmp", MakeBunny(), 96, 96, 2});
    images.push_back({"crosshair.bmp", MakeCrosshair(), 96, 96, 2});
    images.push_back({"flower.bmp", MakeFlower(), 32, 32, 3});
    images.push_back({"smallfont.bmp", MakeFont(), kCellWidth, kCellHeight, 3});
    images.push_back({"grass.bmp", MakeGrass(), 32, 32, 3});
    images.push_back({"giraffe.bmp", MakeGiraffe(), 32, 48, 3});
    images.push_back({"lion.bmp", MakeLion(false), 40, 28, 3});
    images.push_back({"lionleader.bmp", MakeLion(true), 40, 28, 3});
    images.push_back({"player.bmp", MakePlayer(), 64, 64, 2});
    images.push_back({"enemy.bmp", MakeEnemy(), 48, 48, 2});
    images.push_back({"bullet.bmp", MakeBullet(), 6, 16, 4});
    images.push_back({"ball.bmp", MakeBall(), 50, 50, 2});
    images.push_back({"paddle.bmp", MakePaddle(), 50, 50, 2});
    images.push_back({"brick.bmp", MakeBrick(), 50, 50, 2});
    images.push_back({kTigerTextureName, MakeTigerSkin(), 0, 0, 2});
    images.push_back({"title.bmp", MakeTitle(), 512, 96, 1});
    images.push_back({"pointer.bmp", MakePointer(), 32, 32, 3});
    images.push_back({"menuframe.bmp", MakeMenuFrame(), 140, 108, 1});

    auto image = [&](const char* file) -> const Canvas& {
        for (const Image& im : images)
            if (std::strcmp(im.file, file) == 0) return im.canvas;
        std::abort();  // a name missing from the table above is a bug here
    };

    // Each level's scene at screen size, and its 128 x 96 thumbnail: the scene
    // averaged over 8 x 8 blocks (the scenes hold no key colour).
    struct Scene {
        const char* preview;
        const char* thumbnail;
        Canvas screen;
    };
    std::vector<Scene> scenes;
    scenes.push_back({"gallery", "thumb_sprite.bmp",
                      MakeGalleryPreview(image("background.bmp"), image("flower.bmp"),
                                         image("bunny.bmp"), image("crosshair.bmp"))});
    scenes.push_back(
        {"savanna", "thumb_savanna.bmp",
         MakeSavannaPreview(image("grass.bmp"), image("giraffe.bmp"), image("lion.bmp"),
                            image("lionleader.bmp"), image("smallfont.bmp"))});
    scenes.push_back({"shooter", "thumb_shooter.bmp",
                      MakeShooterPreview(image("player.bmp"), image("enemy.bmp"),
                                         image("bullet.bmp"), image("smallfont.bmp"))});
    scenes.push_back({"tiger", "thumb_tiger.bmp",
                      MakeTigerPreview(image("groundtiles.bmp"),
                                       RenderTigerPreview(image(kTigerTextureName), true, 260),
                                       image("smallfont.bmp"))});
    scenes.push_back({"breakout", "thumb_breakout.bmp",
                      MakeBreakoutPreview(image("brick.bmp"), image("paddle.bmp"),
                                          image("ball.bmp"), image("smallfont.bmp"))});
    for (const Scene& scene : scenes)
        images.push_back({scene.thumbnail, scene.screen.Downsample(8), 128, 96, 2});

    std::string error;
    for (const Image& im : images)
        if (!WriteBmp(im.canvas, out + "/" + im.file, &error)) return Fail(error);
    if (!WriteFile(out + "/tiger.x", MakeTigerX(), &error)) return Fail(error);
    if (!WriteGunshot(out + "/magnum.wav", &error)) return Fail(error);
    if (!WriteBreakoutSounds(out, &error)) return Fail(error);

    if (!sheetPath.empty()) {
        std::vector<SheetItem> items;
        for (const Image& im : images) {
            const int cw = im.cellWidth > 0 ? im.cellWidth : im.canvas.Width();
            const int ch = im.cellHeight > 0 ? im.cellHeight : im.canvas.Height();
            items.push_back({im.file, &im.canvas, cw, ch, im.zoom});
        }
        const Canvas& skin = image(kTigerTextureName);
        const Canvas top = RenderTigerPreview(skin, true, 256);
        const Canvas side = RenderTigerPreview(skin, false, 256);
        const Canvas text = MakeTextSample(image("smallfont.bmp"), image("groundtiles.bmp"),
                                           image("background.bmp"));
        items.push_back({"text as the levels draw it", &text, 240, text.Height(), 2});
        items.push_back({"tiger.x from above", &top, 256, 256, 1});
        items.push_back({"tiger.x from the side", &side, 256, 256, 1});
        if (!SavePng(MakeContactSheet(items, 1600), sheetPath, &error)) return Fail(error);
    }
    if (!iconPath.empty() &&
        !WriteIcon(image("bunny.bmp"), image("crosshair.bmp"), iconPath, &error))
        return Fail(error);
    for (const Scene& scene : scenes)
        if (!previewPath.empty() &&
            !SavePng(scene.screen, previewPath + "/" + scene.preview + "-preview.png", &error))
            return Fail(error);
    return 0;
}
