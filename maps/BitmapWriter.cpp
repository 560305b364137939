#include "BitmapWriter.h"

#include <cassert>
#include <cstdint>
#include <string_view>

#include "FileAccess.h"

namespace {

void putU32(std::vector<unsigned char>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

void putU16(std::vector<unsigned char>& out, std::size_t at, std::uint16_t v) {
    out[at] = static_cast<unsigned char>(v);
    out[at + 1] = static_cast<unsigned char>(v >> 8);
}

}  // namespace

RgbImage::RgbImage(int width, int height)
    : width(width), height(height), rgb(3 * std::size_t(width) * std::size_t(height)) {
    assert(width > 0 && height > 0);
}

void RgbImage::set(int x, int y, unsigned char r, unsigned char g, unsigned char b) {
    assert(x >= 0 && x < width && y >= 0 && y < height);
    unsigned char* p = &rgb[3 * (std::size_t(y) * width + x)];
    p[0] = r;
    p[1] = g;
    p[2] = b;
}

std::vector<unsigned char> encodeBitmap(const RgbImage& image) {
    const std::size_t headerSize = 54;
    const std::size_t stride = (3 * std::size_t(image.width) + 3) / 4 * 4;
    const std::size_t pixelBytes = stride * image.height;
    std::vector<unsigned char> out(headerSize + pixelBytes, 0);

    out[0] = 'B';
    out[1] = 'M';
    putU32(out, 2, std::uint32_t(out.size()));
    putU32(out, 10, headerSize);
    putU32(out, 14, 40);  // information header size
    putU32(out, 18, std::uint32_t(image.width));
    putU32(out, 22, std::uint32_t(image.height));
    putU16(out, 26, 1);   // planes
    putU16(out, 28, 24);  // bits per pixel
    putU32(out, 30, 0);   // no compression
    putU32(out, 34, std::uint32_t(pixelBytes));
    putU32(out, 38, 2835);  // 72 dpi
    putU32(out, 42, 2835);

    for (int fileRow = 0; fileRow < image.height; ++fileRow) {
        const int y = image.height - 1 - fileRow;  // bottom row first
        unsigned char* dst = &out[headerSize + fileRow * stride];
        for (int x = 0; x < image.width; ++x) {
            const unsigned char* src = &image.rgb[3 * (std::size_t(y) * image.width + x)];
            dst[3 * x] = src[2];
            dst[3 * x + 1] = src[1];
            dst[3 * x + 2] = src[0];
        }
    }
    return out;
}

bool writeBytes(const std::string& path, const std::vector<unsigned char>& bytes,
                std::string* reason) {
    const std::string failure = writeWholeFile(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (reason) *reason = failure;
    return failure.empty();
}
