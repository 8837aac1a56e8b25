#include "app/dump_writer.h"

#include <cerrno>
#include <cstring>

#include "engine/entity_dump.h"
#include "platform/core/platform.h"

DumpWriter::~DumpWriter() {
    std::string ignored;
    Close(&ignored);
}

bool DumpWriter::Open(const std::string& path, std::int64_t every, std::string* error) {
    file_ = std::fopen(path.c_str(), "w");
    if (!file_) {
        *error = "--dump: cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    path_ = path;
    every_ = every < 1 ? 1 : every;
    return true;
}

void DumpWriter::Attach() {
    if (!file_ || listener_) return;
    listener_ =
        platform::AddPresentListener([this](std::int64_t frame, const std::uint32_t*, int, int) {
            if (!file_ || failed_ || frame % every_ != 0) return;
            const std::string line = DumpFrameLine(frame) + "\n";
            // Flushed per frame: a dump watched while it grows (the soak
            // script counts its lines) or cut short holds whole frames.
            if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() ||
                std::fflush(file_) != 0)
                failed_ = true;
        });
}

bool DumpWriter::Close(std::string* error) {
    if (listener_) platform::RemovePresentListener(listener_);
    listener_ = 0;
    if (!file_) return true;
    const bool ok = std::fclose(file_) == 0 && !failed_;
    file_ = nullptr;
    if (!ok) *error = "--dump: writing '" + path_ + "' failed";
    return ok;
}
