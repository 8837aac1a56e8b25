// Watches what core asks of the drivers: for its lifetime, installs copies of
// the installed tables whose message box entry records each box (and then
// does what the real entry does) and whose bitmap decoder counts the files
// it decodes. Core keeps neither record itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/driver.h"

class DriverSpy {
  public:
    DriverSpy() : saved_(platform::InstalledDrivers()) {
        real_ = saved_;
        video_ = saved_.video ? *saved_.video : platform::VideoDriver{};
        video_.messageBox = MessageBox;
        image_ = saved_.image ? *saved_.image : platform::ImageCodec{};
        image_.decodeBitmap = Decode;
        boxes = decodes = 0;
        lastBox.clear();
        platform::InstallDrivers(
            {.video = &video_, .audio = saved_.audio, .image = &image_, .mesh = saved_.mesh});
    }
    ~DriverSpy() { platform::InstallDrivers(saved_); }
    DriverSpy(const DriverSpy&) = delete;
    DriverSpy& operator=(const DriverSpy&) = delete;

    inline static int boxes = 0;        // message boxes asked for
    inline static std::string lastBox;  // the last as "caption: text"
    inline static int decodes = 0;      // bitmaps decoded

  private:
    static bool MessageBox(void* native, const char* text, const char* caption) {
        ++boxes;
        lastBox = std::string(caption) + ": " + text;
        return real_.video && real_.video->messageBox &&
               real_.video->messageBox(native, text, caption);
    }
    static bool Decode(const std::uint8_t* bytes, std::size_t size, platform::ArgbImage* out) {
        ++decodes;
        return real_.image && real_.image->decodeBitmap &&
               real_.image->decodeBitmap(bytes, size, out);
    }

    inline static platform::Drivers real_;
    platform::Drivers saved_;
    platform::VideoDriver video_;
    platform::ImageCodec image_;
};
