// PNG files without a compression library: deflate's stored blocks hold the rows as they
// are, which every PNG reader accepts. Screenshots and test images only, so size does not
// matter.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The PNG bytes of an 8-bit RGB image (rows top to bottom, 3 bytes per pixel, stride
// 3 * width); empty when the size is not positive or too large for one file.
std::vector<unsigned char> encodePng(int width, int height, const unsigned char* rgb);
// Writes encodePng's bytes to path; false when there is nothing to write or the file fails.
bool writePngFile(const std::string& path, int width, int height, const unsigned char* rgb);

}  // namespace platform
