// A mesh viewer: a textured die, loaded from a text X file, turned with the
// arrow keys or by dragging with the left mouse button; the wheel brings it
// nearer or takes it further away.
#include <algorithm>
#include <cstdio>

#include "app/run.h"
#include "base/matrix.h"  // D3DXMatrix...: the matrices the device takes
#include "engine/base_level.h"
#include "engine/engine.h"
#include "engine/input_system.h"
#include "engine/renderer.h"
#include "entities/base_model.h"
#include "entities/base_sprite.h"
#include "entities/bitmap_text.h"
#include "levels/level_table.h"

namespace {

constexpr float kKeyTurn = 1.0f / 32;     // radians a frame while an arrow key is held
constexpr float kMouseTurn = 1.0f / 256;  // radians a mouse count while dragging
constexpr float kWheelStep = 1.0f / 120;  // distance a wheel count (120 to a notch)

// The die. The renderer sets one camera at the start of every frame, high
// above the scene looking down, with a square picture that the 4:3 window
// stretches. A viewer wants to look straight at the mesh with the window's
// own shape, so this model sets its own camera before it draws, and turns
// the mesh about the screen's axes: the yaw (rotation x) about the
// vertical, then the pitch (rotation y) about the horizontal.
class ViewedModel : public BaseModel {
  public:
    explicit ViewedModel(const char* fileName) : BaseModel(fileName) {}

    void Render() override {
        IDirect3DDevice9* device = engine->renderer->device;
        if (!device || !mesh) return;  // no device, or the mesh failed to load
        // The eye at the origin looking along +z; the die `position->z` away.
        D3DXMATRIX view, projection, yaw, pitch, turn, place, world;
        const D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1), up(0, 1, 0);
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&projection, 0.8f, 1024.0f / 768.0f, 1.0f, 100.0f);
        D3DXMatrixRotationYawPitchRoll(&yaw, rotation->x, 0, 0);
        D3DXMatrixRotationYawPitchRoll(&pitch, 0, rotation->y, 0);
        D3DXMatrixMultiply(&turn, &yaw, &pitch);
        D3DXMatrixTranslation(&place, position->x, position->y, position->z);
        D3DXMatrixMultiply(&world, &turn, &place);
        device->SetTransform(D3DTS_VIEW, &view);
        device->SetTransform(D3DTS_PROJECTION, &projection);
        device->SetTransform(D3DTS_WORLD, &world);
        // One subset of triangles per material, each with its texture.
        for (std::uint32_t i = 0; i < materialCount; ++i) {
            device->SetMaterial(&materials[i]);
            device->SetTexture(0, textures[i]);
            mesh->DrawSubset(i);
        }
    }
};

class ViewerLevel : public BaseLevel {
  public:
    void Init() override {
        new BaseSprite("backdrop.bmp");
        die = new ViewedModel("die.x");
        die->SetPosition(0, 0, 6);
        die->SetRotation(0.5f, -0.375f, 0);  // a three-quarter view to start with
        BitmapText* help = new BitmapText("smallfont.bmp", 8, 12);
        help->SetPosition(16, 740);
        help->SetText("Arrow keys or drag with the left button: turn.  Wheel: nearer, further.");
        angles = new BitmapText("smallfont.bmp", 8, 12);
        angles->SetPosition(16, 16);
        angles->SetText(line);
    }

    void Update() override {
        InputSystem* input = engine->input;
        Vector3* turn = die->GetRotation();
        // Turning as if the front face were dragged: Right or a drag to the
        // right sends it right, Down or a drag down sends it down.
        if (input->KeyDown(DIK_LEFT)) turn->x += kKeyTurn;
        if (input->KeyDown(DIK_RIGHT)) turn->x -= kKeyTurn;
        if (input->KeyDown(DIK_UP)) turn->y += kKeyTurn;
        if (input->KeyDown(DIK_DOWN)) turn->y -= kKeyTurn;
        // The mouse reports its motion since the last read; button 0 is the left.
        const DIMOUSESTATE mouse = input->GetMouseState();
        if (mouse.rgbButtons[0]) {
            turn->x -= static_cast<float>(mouse.lX) * kMouseTurn;
            turn->y -= static_cast<float>(mouse.lY) * kMouseTurn;
        }
        // Wheel away from you: nearer.
        const float z = die->GetPosition()->z - static_cast<float>(mouse.lZ) * kWheelStep;
        die->SetZ(std::clamp(z, 3.0f, 20.0f));
        std::snprintf(line, sizeof line, "YAW %.2f  PITCH %.2f  DISTANCE %.1f", turn->x, turn->y,
                      die->GetPosition()->z);
    }

  private:
    ViewedModel* die = nullptr;
    BitmapText* angles = nullptr;
    char line[64] = "";
};

// die.bmp is the texture die.x names.
constexpr const char* kViewerFiles[] = {"die.x", "die.bmp", "backdrop.bmp", "smallfont.bmp"};

constexpr LevelInfo kLevels[] = {
    {"die", []() -> BaseLevel* { return new ViewerLevel(); }, kViewerFiles,
     "a textured die to turn and look at from every side",
     "arrow keys or a drag with the left mouse button turn the die, the wheel zooms",
     "thumb_die.bmp"},
};

constexpr const char* kContentFolders[] = {MESH_VIEWER_CONTENT};

constexpr GameInfo kViewer = {.name = "mesh_viewer",
                              .version = "1.0",
                              .levels = kLevels,
                              .contentFolders = kContentFolders,
                              .caption = "Mesh Viewer"};

}  // namespace

int main(int argc, char** argv) { return RunGame(argc, argv, kViewer); }
