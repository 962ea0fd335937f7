#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A minimal PNG encoder for screenshots: 8-bit RGB, stored (uncompressed)
// deflate blocks.
namespace quernel::testing {

struct RgbImage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;  // rows top-down, 3 bytes a pixel
};

std::string EncodePng(const RgbImage& image);

}  // namespace quernel::testing
