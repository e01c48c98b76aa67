#include "sim/snapshot.h"

#include "sim/display.h"
#include "sim/rgb565.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

bool WritePng(const std::string& File, int Created, const std::vector<std::uint16_t>& Page, std::string* Error)
{
    std::vector<std::uint8_t> Rgb;
    Rgb.reserve(Page.size() * 3);
    for (std::uint16_t Pixel : Page) {
        Rgb.push_back(Red8(Pixel));
        Rgb.push_back(Green8(Pixel));
        Rgb.push_back(Blue8(Pixel));
    }
    png_image Image;
    std::memset(&Image, 0, sizeof Image);
    Image.version = PNG_IMAGE_VERSION;
    Image.width = DisplayWidth;
    Image.height = DisplayHeight;
    Image.format = PNG_FORMAT_RGB;
    std::string Reason;
    if (Created < 0) {
        // libpng checks the flush and the closing, and removes the file when they fail.
        if (png_image_write_to_file(&Image, File.c_str(), 0, Rgb.data(), DisplayWidth * 3, nullptr) != 0)
            return true;
        Reason = Image.message;
    } else if (std::FILE* Out = fdopen(Created, "wb")) {
        // The stream's buffer reaches the file at the flush, so the flush and the closing are writes too.
        if (png_image_write_to_stdio(&Image, Out, 0, Rgb.data(), DisplayWidth * 3, nullptr) == 0)
            Reason = Image.message;
        else if (std::fflush(Out) != 0 || std::ferror(Out) != 0)
            Reason = std::strerror(errno);
        if (std::fclose(Out) != 0 && Reason.empty())
            Reason = std::strerror(errno);
        if (Reason.empty())
            return true;
        unlink(File.c_str());
    } else {
        Reason = std::strerror(errno);
        close(Created);
        unlink(File.c_str());
    }
    if (Error != nullptr)
        *Error = "cannot write " + File + ": " + Reason;
    png_image_free(&Image);
    return false;
}
