#include "folder_icon.h"

#include <array>
#include <cstdint>
#include <functional>

namespace quernel::icon {
namespace {

struct Colour {
  std::uint8_t red, green, blue;
};

enum Ink : std::uint8_t {
  kClear,  // with the AND mask set: transparent
  kFolderEdge,
  kBackPanel,
  kFrontPanel,
  kFrontLight,
  kFrontShade,
  kPaper,
  kPaperEdge,
  kWriting,
  kInkCount,
};

constexpr std::array<Colour, kInkCount> kInks{{
    {0, 0, 0},
    {140, 82, 8},
    {226, 150, 36},
    {255, 204, 62},
    {255, 234, 150},
    {240, 178, 44},
    {255, 255, 255},
    {120, 120, 120},
    {150, 170, 200},
}};

using Shape = std::function<bool(int x, int y)>;
using Canvas = std::array<std::array<std::uint8_t, kSize>, kSize>;  // [y][x], y down

bool Inside(const Shape& shape, int x, int y) {
  return x >= 0 && y >= 0 && x < kSize && y < kSize && shape(x, y);
}

// Fills the shape and rims it: a pixel of the shape with a neighbour outside
// it takes the edge ink.
void Paint(Canvas& canvas, const Shape& shape, Ink fill, Ink edge) {
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      if (!shape(x, y)) continue;
      const bool rim = !Inside(shape, x - 1, y) || !Inside(shape, x + 1, y) || !Inside(shape, x, y - 1) ||
                       !Inside(shape, x, y + 1);
      canvas[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = rim ? edge : fill;
    }
}

// The folder's back with its tab at the top left.
bool BackPanel(int x, int y) {
  const bool tab = y >= 3 && y <= 6 && x >= 2 && x <= 9 + (y - 3);
  const bool body = y >= 6 && y <= 27 && x >= 1 && x <= 26;
  return tab || body;
}

// The sheet, its top right corner folded down.
bool Paper(int x, int y) {
  return x >= 6 && x <= 24 && y >= 1 && y <= 22 && x - y <= 19;
}
bool DogEar(int x, int y) {
  return Paper(x, y) && x >= 20 && y <= 5 && x - y >= 16;
}

// The front flap, opened forward: its top edge leans right of its foot.
constexpr int kFrontTop = 12, kFrontFoot = 27;
double FrontLeft(int y) {
  return 7.0 - 6.0 * (y - kFrontTop) / (kFrontFoot - kFrontTop);
}
double FrontRight(int y) {
  return 31.0 - 5.0 * (y - kFrontTop) / (kFrontFoot - kFrontTop);
}
bool FrontPanel(int x, int y) {
  const double centre = x + 0.5;
  return y >= kFrontTop && y <= kFrontFoot && centre >= FrontLeft(y) && centre <= FrontRight(y);
}

Canvas Draw() {
  Canvas canvas{};
  Paint(canvas, BackPanel, kBackPanel, kFolderEdge);
  Paint(canvas, Paper, kPaper, kPaperEdge);
  Paint(canvas, DogEar, kPaper, kPaperEdge);
  for (int line = 0; line < 5; ++line) {
    const int y = 5 + 2 * line, end = line % 2 == 0 ? 20 : 17;
    for (int x = 9; x <= end; ++x)
      if (Paper(x, y) && !DogEar(x, y))
        canvas[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = kWriting;
  }
  Paint(canvas, FrontPanel, kFrontPanel, kFolderEdge);
  for (int y = kFrontTop + 1; y < kFrontFoot; ++y)
    for (int x = 0; x < kSize; ++x) {
      auto& pixel = canvas[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
      if (pixel != kFrontPanel) continue;
      if (y <= kFrontTop + 2)
        pixel = kFrontLight;
      else if (y >= kFrontFoot - 4)
        pixel = kFrontShade;
    }
  return canvas;
}

// A full 256-entry palette: the inks, then a 6x6x6 colour cube, then greys.
std::array<Colour, 256> Palette() {
  std::array<Colour, 256> palette{};
  std::size_t i = 0;
  for (const Colour& ink : kInks) palette[i++] = ink;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        palette[i++] = {static_cast<std::uint8_t>(r * 51), static_cast<std::uint8_t>(g * 51),
                        static_cast<std::uint8_t>(b * 51)};
  for (std::uint8_t grey = 8; i < palette.size(); grey = static_cast<std::uint8_t>(grey + 8))
    palette[i++] = {grey, grey, grey};
  return palette;
}

class LittleEndian {
 public:
  void U8(unsigned v) { bytes_ += static_cast<char>(v & 0xFF); }
  void U16(unsigned v) { U8(v), U8(v >> 8); }
  void U32(unsigned v) { U16(v & 0xFFFF), U16(v >> 16); }
  std::string& Bytes() { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace

std::string FolderIconFile() {
  constexpr unsigned kHeaderSize = 40, kPaletteSize = 256 * 4, kPixelsSize = kSize * kSize;
  constexpr unsigned kMaskRowSize = 4, kMaskSize = kSize * kMaskRowSize;
  constexpr unsigned kImageSize = kHeaderSize + kPaletteSize + kPixelsSize + kMaskSize;
  constexpr unsigned kDirectorySize = 6 + 16;

  LittleEndian out;
  out.U16(0), out.U16(1), out.U16(1);                  // ICONDIR: an icon file with one image
  out.U8(kSize), out.U8(kSize), out.U8(0), out.U8(0);  // 0 colours: 256
  out.U16(1), out.U16(8), out.U32(kImageSize), out.U32(kDirectorySize);

  out.U32(kHeaderSize), out.U32(kSize), out.U32(2 * kSize);  // height: pixels and mask
  out.U16(1), out.U16(8), out.U32(0), out.U32(kPixelsSize + kMaskSize);
  out.U32(0), out.U32(0), out.U32(256), out.U32(0);
  for (const Colour& c : Palette()) out.U8(c.blue), out.U8(c.green), out.U8(c.red), out.U8(0);

  const Canvas canvas = Draw();
  for (int y = kSize - 1; y >= 0; --y)  // bottom-up rows
    for (std::uint8_t pixel : canvas[static_cast<std::size_t>(y)]) out.U8(pixel);
  for (int y = kSize - 1; y >= 0; --y) {
    unsigned row = 0;
    for (int x = 0; x < kSize; ++x)
      if (canvas[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == kClear) row |= 0x80000000u >> x;
    out.U8(row >> 24), out.U8(row >> 16), out.U8(row >> 8), out.U8(row);
  }
  return out.Bytes();
}

}  // namespace quernel::icon
