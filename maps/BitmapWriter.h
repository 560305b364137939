#pragma once

#include <string>
#include <vector>

// A picture of width x height pixels, row 0 at the top, three bytes per pixel
// in the order red, green, blue.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    RgbImage(int width, int height);
    void set(int x, int y, unsigned char r, unsigned char g, unsigned char b);
};

// The picture as a standard 24-bit uncompressed bitmap: 54-byte header, rows
// bottom-up, each row padded to a multiple of 4 bytes.
std::vector<unsigned char> encodeBitmap(const RgbImage& image);

// Writes `bytes` to `path`; false when the file cannot be written, with the
// system's reason in `reason` when one is given.
bool writeBytes(const std::string& path, const std::vector<unsigned char>& bytes,
                std::string* reason = nullptr);
