#include "tools/assetgen/art.h"
#include "tools/assetgen/gunshot.h"
#include "tools/assetgen/tiger_mesh.h"
namespace assetgen {
bool WriteGunshot(const std::string&, std::string*) { return true; }
}
