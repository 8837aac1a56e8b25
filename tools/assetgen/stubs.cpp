#include "tools/assetgen/art.h"
#include "tools/assetgen/gunshot.h"
#include "tools/assetgen/tiger_mesh.h"
namespace assetgen {
Canvas MakeTigerSkin() { return Canvas(128, 128); }
std::vector<std::uint8_t> MakeTigerX() { return {}; }
bool WriteGunshot(const std::string&, std::string*) { return true; }
}
