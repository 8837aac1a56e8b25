#include "app/content_folder.h"

#include "platform/core/image.h"

std::vector<const char*> RunContentFiles(const GameInfo& game, bool menu, const LevelInfo& level) {
    if (!menu) return {level.contentFiles.begin(), level.contentFiles.end()};
    std::vector<const char*> files(MenuFiles().begin(), MenuFiles().end());
    if (game.titlePicture) files.push_back(game.titlePicture);
    for (const LevelInfo& each : game.levels)
        if (each.thumbnail) files.push_back(each.thumbnail);
    return files;
}

std::string FindContentFolder(const std::vector<std::string>& folders,
                              const std::vector<const char*>& files) {
    for (const std::string& folder : folders)
        for (const char* name : files)
            if (!platform::ResolveImagePath((folder + "/" + name).c_str()).empty()) return folder;
    return {};
}
