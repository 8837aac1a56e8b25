// Every image of the game, drawn from code. Each function returns the finished
// image; transparent areas are exactly the key colour.
#pragma once

#include "tools/assetgen/canvas.h"

namespace assetgen {

// Shooting gallery.
Canvas MakeBackground();  // 1024 x 768
Canvas MakeCrosshair();   // 96 x 96
Canvas MakeFlower();      // 128 x 32: 4 cells of 32 x 32
Canvas MakeBunny();       // 288 x 288: 3 x 3 cells of 96 x 96

// Savanna.
Canvas MakeGrass();            // 32 x 32
Canvas MakeGiraffe();          // 32 x 48
Canvas MakeLion(bool leader);  // 40 x 28

// Shooter and breakout.
Canvas MakePlayer();  // 64 x 64
Canvas MakeEnemy();   // 48 x 48
Canvas MakeBullet();  // 6 x 16
Canvas MakeBall();    // 50 x 50 disc
Canvas MakePaddle();  // 50 x 50 disc
Canvas MakeBrick();   // 50 x 50 disc

// Tiger level.
Canvas MakeGroundTiles();  // 1024 x 640: 16 x 10 tiles of 64 x 64
Canvas MakeTigerSkin();    // the tiger mesh's texture

// Title menu (the levels' thumbnails are their preview scenes scaled down).
Canvas MakeTitle();      // 512 x 96: the game's name
Canvas MakePointer();    // 32 x 32: an arrow whose tip is pixel (0, 0)
Canvas MakeMenuFrame();  // 140 x 108: a frame around a keyed 128 x 96 window at (6, 6)

}  // namespace assetgen
