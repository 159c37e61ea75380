// Draws the three panel bitmaps of the amp editor and writes them as PNG files:
//   gen-resources OUTPUT_DIR
// The files are committed in resources/; run this again only to change the artwork.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "Compositing.h"
#include "MemoryBitmap.h"
#include "Outlines.h"
#include "PngWriter.h"

namespace {

const double kPi = 3.14159265358979323846;

uint32_t Argb(int a, int r, int g, int b) {
  return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}

// Stores a pixel laid over the existing one by its alpha (straight alpha "over").
void Over(RasterBitmap& bmp, int x, int y, uint32_t c) {
  if (x < 0 || y < 0 || x >= bmp.Width() || y >= bmp.Height()) return;
  uint32_t& d = bmp.Bits()[x + y * bmp.RowSpan()];
  double sa = (c >> 24) / 255.0, da = (d >> 24) / 255.0;
  double oa = sa + da * (1 - sa);
  if (oa <= 0) { d = 0; return; }
  auto ch = [&](int shift) {
    double s = (c >> shift) & 0xFF, t = (d >> shift) & 0xFF;
    return uint32_t((s * sa + t * da * (1 - sa)) / oa + 0.5);
  };
  d = uint32_t(oa * 255 + 0.5) << 24 | ch(16) << 16 | ch(8) << 8 | ch(0);
}

void Disc(RasterBitmap& bmp, double cx, double cy, double radius, uint32_t colour) {
  for (int y = int(cy - radius - 1); y <= int(cy + radius + 1); ++y) {
    for (int x = int(cx - radius - 1); x <= int(cx + radius + 1); ++x) {
      double cover = radius + 0.5 - std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      if (cover <= 0) continue;
      if (cover > 1) cover = 1;
      Over(bmp, x, y, (colour & 0xFFFFFF) | uint32_t((colour >> 24) * cover + 0.5) << 24);
    }
  }
}

// 5 by 7 capitals and digits for the printed labels.
const char* Glyph(char c) {
  switch (c) {
    case 'A': return "01110100011000111111100011000110001";
    case 'B': return "11110100011000111110100011000111110";
    case 'C': return "01110100011000010000100001000101110";
    case 'D': return "11110100011000110001100011000111110";
    case 'E': return "11111100001000011110100001000011111";
    case 'F': return "11111100001000011110100001000010000";
    case 'G': return "01110100011000010111100011000101111";
    case 'H': return "10001100011000111111100011000110001";
    case 'I': return "01110001000010000100001000010001110";
    case 'L': return "10000100001000010000100001000011111";
    case 'M': return "10001110111010110101100011000110001";
    case 'N': return "10001110011010110011100011000110001";
    case 'O': return "01110100011000110001100011000101110";
    case 'P': return "11110100011000111110100001000010000";
    case 'Q': return "01110100011000110001101011001001101";
    case 'R': return "11110100011000111110101001001010001";
    case 'S': return "01111100001000001110000010000111110";
    case 'T': return "11111001000010000100001000010000100";
    case 'U': return "10001100011000110001100011000101110";
    case 'V': return "10001100011000110001100010101000100";
    case 'Z': return "11111000010001000100010001000011111";
    case '1': return "00100011000010000100001000010001110";
    case '9': return "01110100011000101111000010001001100";
    case '/': return "00001000010001000100010001000010000";
    default: return nullptr;
  }
}

void Text(RasterBitmap& bmp, int x, int y, const char* text, uint32_t colour, int scale = 1) {
  for (; *text; ++text, x += 6 * scale) {
    const char* g = Glyph(*text);
    if (!g) continue;
    for (int i = 0; i < 35; ++i)
      if (g[i] == '1') FillRect(&bmp, x + (i % 5) * scale, y + (i / 5) * scale, scale, scale, colour, 1.0f, 0);
  }
}

void CentredText(RasterBitmap& bmp, int cx, int y, const char* text, uint32_t colour) {
  Text(bmp, cx - int(std::strlen(text)) * 3 + 1, y, text, colour);
}

void Panel(MemoryBitmap& bmp) {
  for (int y = 0; y < 78; ++y) {
    int v = 58 - y / 4;
    FillRect(&bmp, 0, y, 800, 1, Argb(255, v, v - 4, v - 10), 1.0f, 0);
  }
  FillRect(&bmp, 0, 0, 800, 2, Argb(255, 120, 110, 90), 1.0f, 0);
  FillRect(&bmp, 0, 76, 800, 2, Argb(255, 20, 18, 15), 1.0f, 0);
  Text(bmp, 12, 18, "ZORV", Argb(255, 230, 200, 120), 2);
  Text(bmp, 12, 42, "Q19", Argb(255, 230, 200, 120), 3);
  struct Label { int cx; const char* text; };
  const Label knobs[] = {{120, "INPUT"}, {185, "DRIVE"}, {248, "BASS"}, {309, "LO MID"},
                         {370, "HI MID"}, {432, "TREBLE"}, {580, "OUTPUT"}};
  for (const Label& l : knobs) CentredText(bmp, l.cx, 69, l.text, Argb(255, 220, 210, 190));
  const Label switches[] = {{475, "CONT"}, {508, "GAIN"}, {623, "STER"}, {652, "TRAFO"}};
  for (const Label& l : switches) CentredText(bmp, l.cx, 70, l.text, Argb(255, 220, 210, 190));
  // Maker's mark at the right end.
  Disc(bmp, 740, 39, 22, Argb(255, 30, 28, 24));
  DrawCircle(&bmp, 740, 39, 22, Argb(255, 230, 200, 120), 1.0f, 0, true);
  Text(bmp, 717, 36, "ZORV", Argb(255, 230, 200, 120), 1);
  DrawLine(&bmp, 680, 12, 680, 66, Argb(255, 90, 80, 65), 1.0f, 0, false);
}

void KnobStrip(MemoryBitmap& bmp) {
  FillRect(&bmp, 0, 0, 60, 3660, 0, 1.0f, 0);
  for (int f = 0; f < 61; ++f) {
    int top = f * 60;
    double cx = 30, cy = top + 30;
    Disc(bmp, cx + 1.5, cy + 2, 25, Argb(90, 0, 0, 0));  // shadow
    Disc(bmp, cx, cy, 25, Argb(255, 40, 38, 36));
    Disc(bmp, cx, cy, 21, Argb(255, 70, 66, 60));
    Disc(bmp, cx - 3, cy - 4, 12, Argb(40, 255, 255, 255));
    // Pointer: from lower left (frame 1) clockwise to lower right (frame 61).
    double angle = (-135.0 + 270.0 * f / 60.0) * kPi / 180.0;
    double sx = std::sin(angle), sy = -std::cos(angle);
    for (double t = 6; t <= 20; t += 0.5) Disc(bmp, cx + sx * t, cy + sy * t, 1.6, Argb(255, 240, 230, 210));
  }
}

void ButtonStrip(MemoryBitmap& bmp) {
  FillRect(&bmp, 0, 0, 20, 128, 0, 1.0f, 0);
  for (int f = 0; f < 2; ++f) {
    int top = f * 64;
    bool on = f == 1;
    Disc(bmp, 10, top + 10, 5, Argb(255, 30, 20, 20));
    Disc(bmp, 10, top + 10, 4, on ? Argb(255, 255, 40, 30) : Argb(255, 80, 20, 18));
    if (on) Disc(bmp, 10, top + 10, 7, Argb(60, 255, 60, 40));
    Disc(bmp, 10, top + 38, 9, Argb(255, 25, 24, 22));
    Disc(bmp, 10, top + 38 + (on ? 1 : 0), 7, on ? Argb(255, 120, 115, 105) : Argb(255, 160, 155, 145));
  }
}

bool Save(const MemoryBitmap& bmp, const std::string& dir, const char* name) {
  std::string path = dir + "/" + name;
  if (SavePng(bmp, path.c_str())) return true;
  std::fprintf(stderr, "gen-resources: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gen-resources OUTPUT_DIR\n");
    return 2;
  }
  std::string dir = argv[1];
  MemoryBitmap panel(800, 78), knob(60, 3660), button(20, 128);
  Panel(panel);
  KnobStrip(knob);
  ButtonStrip(button);
  bool ok = Save(panel, dir, "Q19.png") && Save(knob, dir, "q19knob60x3660.png") &&
            Save(button, dir, "q19_buttonled.png");
  return ok ? 0 : 1;
}
