#include "tools/assetgen/contact_sheet.h"

#include <algorithm>
#include <cstdint>

#include "platform/core/png.h"
#include "tools/assetgen/font.h"

namespace assetgen {

namespace {

const Rgb kPaper = Hex(0x2B2F36), kGridLine = Hex(0x35D0FF), kLabel = Hex(0xF0F0F0);

// Transparent pixels are shown as a light checkerboard.
Rgb Checker(int x, int y) { return ((x / 6 + y / 6) % 2) ? Hex(0x9A9A9A) : Hex(0xC8C8C8); }

// The image resized by `zoom` (n > 0 enlarges n times, -2 halves by averaging).
Canvas Zoomed(const Canvas& src, int zoom) {
    if (zoom >= 1) {
        Canvas out(src.Width() * zoom, src.Height() * zoom, kKey);
        for (int y = 0; y < out.Height(); ++y)
            for (int x = 0; x < out.Width(); ++x) out.Set(x, y, src.Get(x / zoom, y / zoom));
        return out;
    }
    return src.Downsample(-zoom);
}

int Scaled(int v, int zoom) { return zoom >= 1 ? v * zoom : v / -zoom; }

}  // namespace

void DrawText(Canvas& c, int x, int y, const std::string& text, int zoom, Rgb ink) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int code = static_cast<unsigned char>(text[i]);
        for (int row = 0; row < 9; ++row)
            for (int col = 0; col < 5; ++col)
                if (GlyphPixel(code, col, row))
                    c.FillRect(x + (static_cast<int>(i) * kCellWidth + col + 1) * zoom,
                               y + (row + 2) * zoom, zoom, zoom, ink);
    }
}

Canvas MakeContactSheet(const std::vector<SheetItem>& items, int width) {
    // Flow layout: items left to right, wrapping; each with its name above it.
    const int margin = 16, labelHeight = 30;
    struct Place {
        int x, y;
    };
    std::vector<Place> places;
    int x = margin, y = margin, rowHeight = 0;
    for (const SheetItem& it : items) {
        const int w = Scaled(it.image->Width(), it.zoom), h = Scaled(it.image->Height(), it.zoom);
        if (x > margin && x + w > width - margin) {
            x = margin;
            y += rowHeight + margin;
            rowHeight = 0;
        }
        places.push_back({x, y});
        x += std::max(w, static_cast<int>(it.name.size()) * 16) + margin;
        rowHeight = std::max(rowHeight, h + labelHeight);
    }
    Canvas sheet(width, y + rowHeight + margin, kPaper);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const SheetItem& it = items[i];
        const Place p = places[i];
        DrawText(sheet, p.x, p.y, it.name, 2, kLabel);
        const Canvas z = Zoomed(*it.image, it.zoom);
        const int top = p.y + labelHeight;
        for (int yy = 0; yy < z.Height(); ++yy)
            for (int xx = 0; xx < z.Width(); ++xx) {
                const Rgb q = z.Get(xx, yy);
                sheet.Set(p.x + xx, top + yy, q == kKey ? Checker(xx, yy) : q);
            }
        // Cell outlines, drawn just outside the cell edges where possible.
        const int cw = Scaled(it.cellWidth, it.zoom), ch = Scaled(it.cellHeight, it.zoom);
        for (int cy = 0; cy < z.Height(); cy += ch)
            for (int cx = 0; cx < z.Width(); cx += cw)
                sheet.Frame(p.x + cx - 1, top + cy - 1, cw + 2, ch + 2, kGridLine);
    }
    return sheet;
}

Canvas MakeGalleryPreview(const Canvas& background, const Canvas& flower, const Canvas& bunny,
                          const Canvas& crosshair) {
    Canvas screen = background;
    auto cell = [](const Canvas& sheet, int index, int w, int h, int columns) {
        Canvas c(w, h, kKey);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                c.Set(x, y, sheet.Get((index % columns) * w + x, (index / columns) * h + y));
        return c;
    };
    // The flowers lie where the game scatters them: x 0 to 991, y 526 to 735.
    Rng rng(5);
    for (int i = 0; i < 50; ++i) {
        const int y = 526 + rng.Int(210), x = rng.Int(992);
        screen.Paste(cell(flower, i % 4, 32, 32, 4), x, y, true);
    }
    const int frames[9][2] = {{900, 560}, {760, 620}, {620, 540}, {480, 640}, {360, 560},
                              {250, 650}, {140, 580}, {40, 660},  {560, 680}};
    for (int i = 0; i < 9; ++i)
        screen.Paste(cell(bunny, i, 96, 96, 3), frames[i][0], frames[i][1], true);
    screen.Paste(crosshair, 480, 640, true);
    return screen;
}

namespace {

void Write(Canvas& screen, const Canvas& font, int x, int y, const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int g = static_cast<unsigned char>(text[i]) - kFirstChar;
        for (int cy = 0; cy < kCellHeight; ++cy)
            for (int cx = 0; cx < kCellWidth; ++cx) {
                const Rgb p = font.Get((g % kGlyphsPerRow) * kCellWidth + cx,
                                       (g / kGlyphsPerRow) * kCellHeight + cy);
                if (!(p == kKey)) screen.Set(x + static_cast<int>(i) * 8 + cx, y + cy, p);
            }
    }
}

}  // namespace

Canvas MakeSavannaPreview(const Canvas& grass, const Canvas& giraffe, const Canvas& lion,
                          const Canvas& leader, const Canvas& font) {
    Canvas screen(1024, 768, Hex(0x000000));
    Rng rng(17);
    for (int i = 0; i < 20; ++i) screen.Paste(grass, rng.Int(1000), rng.Int(740), true);
    for (int i = 0; i < 100; ++i) screen.Paste(giraffe, rng.Int(1000), rng.Int(720), true);
    for (int i = 0; i < 12; ++i)
        screen.Paste(i % 5 ? lion : leader, rng.Int(990), rng.Int(740), true);
    Write(screen, font, 10, 10, "Giraffes: 100");
    Write(screen, font, 10, 30, "Lions: 12");
    Write(screen, font, 10, 60, "1: Add giraffe  2: Add lion");
    return screen;
}

Canvas MakeShooterPreview(const Canvas& player, const Canvas& enemy, const Canvas& bullet,
                          const Canvas& font) {
    Canvas screen(1024, 768, Hex(0x000000));
    Rng rng(23);
    screen.Paste(player, 480, 600, true);
    for (int i = 0; i < 3; ++i) screen.Paste(bullet, 509, 560 - 60 * i, true);
    for (int i = 0; i < 8; ++i) {
        const int x = rng.Int(980), y = rng.Int(400);
        screen.Paste(enemy, x, y, true);
        screen.Paste(bullet, x + 24, y + 60, true);
    }
    Write(screen, font, 10, 10, "Speed: 100");
    Write(screen, font, 10, 30, "Integrity: 100");
    Write(screen, font, 10, 50, "Score: 40");
    return screen;
}

Canvas MakeTigerPreview(const Canvas& groundTiles, const Canvas& tigerFromAbove,
                        const Canvas& font) {
    // The first 12 rows of the tiger level's map, as the view shows them at
    // offset (0, 0), with the tiger at the centre at about its in-game size.
    Canvas screen(1024, 768, Hex(0x000000));
    auto tileAt = [](int r, int c) {
        if (r == 0) return c == 0 ? 8 : c == 13 ? 10 : 9;
        if (c == 0) return 18;
        if (c == 13) return 20;
        if ((r == 4 && (c == 5 || c == 8)) || (r == 5 && (c == 6 || c == 7))) return 19;
        if ((r == 2 && (c == 5 || c == 8)) || (r == 8 && c == 3)) return 40;
        if (r == 11 && c == 4) return 80;
        return 158;
    };
    for (int r = 0; r < 12; ++r)
        for (int c = 0; c < 14; ++c) {
            const int n = tileAt(r, c) - 1;
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x)
                    screen.Set(64 + c * 64 + x, r * 64 + y,
                               groundTiles.Get((n % 16) * 64 + x, (n / 16) * 64 + y));
        }
    screen.Paste(tigerFromAbove, 512 - tigerFromAbove.Width() / 2,
                 384 - tigerFromAbove.Height() / 2, true);
    Write(screen, font, 10, 10, "X 0 Y 0");
    return screen;
}

Canvas MakeBreakoutPreview(const Canvas& brick, const Canvas& paddle, const Canvas& ball,
                           const Canvas& font) {
    // The level's wall of 12 x 5 bricks (80 pixels apart across, 56 down, from
    // (47, 70)) with four knocked out, the paddle on its line at y 700, the
    // ball on its way up and the two score lines in the top corners.
    Canvas screen(1024, 768, Hex(0x000000));
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 12; ++column) {
            const bool out = (row == 4 && (column == 5 || column == 6 || column == 9)) ||
                             (row == 3 && column == 6);
            if (!out) screen.Paste(brick, 47 + 80 * column, 70 + 56 * row, true);
        }
    screen.Paste(paddle, 560, 700, true);
    screen.Paste(ball, 640, 520, true);
    Write(screen, font, 16, 16, "SCORE 40");
    Write(screen, font, 1024 - 16 - 7 * 8, 16, "BALLS 2");
    return screen;
}

Canvas MakeTextSample(const Canvas& font, const Canvas& groundTiles, const Canvas& background) {
    const char* lines[] = {"Giraffes: 100", "Lions: 12",     "1: Add giraffe  2: Add lion",
                           "Speed: 100",    "Integrity: 87", "Score: 1230",
                           "X 0 Y 5215"};
    const int w = 240, h = 20 * 7 + 8;
    Canvas sample(3 * w, h, Hex(0x000000));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            sample.Set(w + x, y, groundTiles.Get(13 * 64 + x % 64, 9 * 64 + y % 64));  // tile 158
            sample.Set(2 * w + x, y, background.Get(300 + x, 40 + y));  // sky and clouds
        }
    for (int panel = 0; panel < 3; ++panel)
        for (int l = 0; l < 7; ++l)
            for (int i = 0; lines[l][i] != '\0'; ++i) {
                const int g = static_cast<unsigned char>(lines[l][i]) - kFirstChar;
                for (int y = 0; y < kCellHeight; ++y)
                    for (int x = 0; x < kCellWidth; ++x) {
                        const Rgb p = font.Get((g % kGlyphsPerRow) * kCellWidth + x,
                                               (g / kGlyphsPerRow) * kCellHeight + y);
                        if (!(p == kKey)) sample.Set(panel * w + 6 + i * 8 + x, 4 + l * 20 + y, p);
                    }
            }
    return sample;
}

bool SavePng(const Canvas& c, const std::string& path, std::string* error) {
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(c.Width()) * c.Height());
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            const Rgb p = c.Get(x, y);
            argb[static_cast<std::size_t>(y) * c.Width() + x] =
                0xFF000000u | (std::uint32_t{p.r} << 16) | (std::uint32_t{p.g} << 8) | p.b;
        }
    return platform::SavePng(path, argb.data(), c.Width(), c.Height(), false, error);
}

}  // namespace assetgen
