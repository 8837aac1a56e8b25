// --dump: after every Nth presented frame, one JSON line of the registry.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class DumpWriter {
  public:
    ~DumpWriter();
    // Opens (truncates) the file; false with `error` set when it cannot.
    bool Open(const std::string& path, std::int64_t every, std::string* error);
    // Starts writing after each presented frame; Close stops and flushes.
    void Attach();
    // False when a write failed (disk full, say); `error` tells why.
    bool Close(std::string* error);

  private:
    std::FILE* file_ = nullptr;
    std::string path_;
    std::int64_t every_ = 1;
    int listener_ = 0;
    bool failed_ = false;
};
