#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "ImageLoading.h"
#include "MemoryBitmap.h"
#include "PngWriter.h"
#include "TestImages.h"

namespace {

using BitmapPtr = std::unique_ptr<RasterBitmap>;

// Resources given at run time: on Windows a real module (a copy of this program with the
// resources written in), elsewhere the stand-in table.
class Resources {
public:
  explicit Resources(const std::vector<ResourceSpec>& specs, const char* name = "module.exe") {
    path_ = ScratchPath(name);
    module_ = CreateResourceModule(path_.c_str(), specs.data(), int(specs.size()));
  }
  ~Resources() { ReleaseResourceModule(module_); }
  ModuleHandle Module() const { return module_; }

private:
  std::string path_;
  ModuleHandle module_ = nullptr;
};

uint32_t At(const RasterBitmap& b, int x, int y) { return b.Bits()[x + y * b.RowSpan()]; }

unsigned Rgba16(int x, int y, int c) {
  const unsigned v[4] = {0xAB12, 0x3456, 0x7890, 0xFEDC};
  return (x + y) ? v[c] : 0x0102;
}
unsigned Rgb8(int x, int, int c) { return unsigned(x * 10 + c); }
unsigned Grey2(int x, int, int) { return unsigned(x & 3); }

// The PNG bytes with the IHDR width and height replaced (CRC kept valid).
Bytes WithPngSize(Bytes png, uint32_t w, uint32_t h) {
  auto put = [&](size_t at, uint32_t v) {
    png[at] = uint8_t(v >> 24); png[at + 1] = uint8_t(v >> 16);
    png[at + 2] = uint8_t(v >> 8); png[at + 3] = uint8_t(v);
  };
  put(16, w);
  put(20, h);
  put(29, uint32_t(crc32(crc32(0, nullptr, 0), png.data() + 12, 17)));
  return png;
}

// The JPEG bytes with the frame header's size replaced.
Bytes WithJpegSize(Bytes jpeg, unsigned w, unsigned h) {
  for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 5] = uint8_t(h >> 8); jpeg[i + 6] = uint8_t(h);
      jpeg[i + 7] = uint8_t(w >> 8); jpeg[i + 8] = uint8_t(w);
      break;
    }
  }
  return jpeg;
}

std::vector<uint32_t> SamplePixels() {
  std::vector<uint32_t> p(16 * 16);
  for (int i = 0; i < 256; ++i) p[size_t(i)] = uint32_t(i) * 0x01000000u + uint32_t(i * 977) % 0x1000000u;
  p[0] = 0x00123456;  // fully transparent, colour kept
  return p;
}

// Bitmap whose size cannot change.
class FixedBitmap : public MemoryBitmap {
public:
  FixedBitmap() : MemoryBitmap(2, 2) {}
  bool Resize(int, int) override { return false; }
};

}  // namespace

TEST(PngResource, DecodesColourTypesIntoPixelWords) {
  std::vector<uint32_t> pixels = SamplePixels();
  Bytes rgba = MakeRgbaPng(16, 16, pixels);
  Bytes rgb = MakePng(3, 2, PNG_COLOR_TYPE_RGB, 8, Rgb8);
  Bytes deep = MakePng(2, 2, PNG_COLOR_TYPE_RGB_ALPHA, 16, Rgba16);
  Bytes grey = MakePng(4, 1, PNG_COLOR_TYPE_GRAY, 2, Grey2);
  Resources res({{"PNG", 1, rgba.data(), rgba.size()},
                 {"PNG", 2, rgb.data(), rgb.size()},
                 {"PNG", 3, deep.data(), deep.size()},
                 {"PNG", 4, grey.data(), grey.size()}});
  ASSERT_NE(res.Module(), nullptr) << "a resource module could not be made";

  BitmapPtr a(LoadPngResource(res.Module(), 0x10001, nullptr));  // only the low 16 bits count
  ASSERT_TRUE(a) << "8-bit RGBA resource";
  ASSERT_EQ(a->Width(), 16) << "width";
  bool same = true;
  for (int i = 0; i < 256; ++i) same = same && a->Bits()[i] == pixels[size_t(i)];
  EXPECT_TRUE(same) << "words carry the file's alpha and colour, transparent colour kept";
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(a->Bits() + 1);
  EXPECT_EQ(bytes[3], 1) << "memory byte 3 is alpha";
  EXPECT_EQ(bytes[0], pixels[1] & 0xFF) << "memory byte 0 is blue";

  BitmapPtr b(LoadPngResource(res.Module(), 2, nullptr));
  ASSERT_TRUE(b) << "RGB resource";
  EXPECT_EQ(At(*b, 2, 1), 0xFF141516u) << "RGB without transparency is opaque";

  BitmapPtr c(LoadPngResource(res.Module(), 3, nullptr));
  ASSERT_TRUE(c) << "16-bit resource";
  EXPECT_EQ(At(*c, 1, 0), 0xFEAB3478u) << "16-bit samples keep their high bytes";
  EXPECT_EQ(At(*c, 0, 0), 0x01010101u) << "16-bit first pixel";

  BitmapPtr g(LoadPngResource(res.Module(), 4, nullptr));
  ASSERT_TRUE(g) << "2-bit grey resource";
  EXPECT_EQ(At(*g, 3, 0), 0xFFFFFFFFu) << "grey level 3 of 3 is opaque white";
  EXPECT_EQ(At(*g, 1, 0), 0xFF555555u) << "grey level 1 of 3";

  EXPECT_EQ(LoadPngResource(res.Module(), 9, nullptr), nullptr) << "missing resource";
  EXPECT_EQ(LoadJpegResource(res.Module(), 1, nullptr), nullptr) << "a PNG is no JPG resource";
}

TEST(PngResource, TargetContract) {
  Bytes png = MakePng(3, 2, PNG_COLOR_TYPE_RGB, 8, Rgb8);
  Resources res({{"PNG", 7, png.data(), png.size()}});
  MemoryBitmap target(10, 10);
  EXPECT_EQ(LoadPngResource(res.Module(), 7, &target), &target) << "the target is returned";
  EXPECT_EQ(target.Width(), 3) << "the target takes the image's size";
  EXPECT_EQ(At(target, 0, 1), 0xFF000102u) << "the target holds the image";
  FixedBitmap fixed;
  EXPECT_EQ(LoadPngResource(res.Module(), 7, &fixed), nullptr) << "a target that cannot resize";
}

TEST(JpegResource, CutShortAndOtherColourSpaces) {
  Bytes rgb = MakeJpeg(24, 16, 3, 200);
  Bytes grey = MakeJpeg(8, 8, 1, 90);
  Bytes cmyk = MakeJpeg(9, 7, 4, 0);
  Bytes cut(rgb.begin(), rgb.end() - 6);  // into the entropy-coded data, end marker gone
  Resources res({{"JPG", 1, rgb.data(), rgb.size()},
                 {"JPG", 2, grey.data(), grey.size()},
                 {"JPG", 3, cmyk.data(), cmyk.size()},
                 {"JPG", 4, cut.data(), cut.size()}});
  BitmapPtr a(LoadJpegResource(res.Module(), 1, nullptr));
  ASSERT_TRUE(a) << "RGB JPEG";
  uint32_t p = At(*a, 5, 5);
  EXPECT_EQ(p >> 24, 255u) << "JPEG pixels are opaque";
  EXPECT_NEAR(double(p & 0xFF), 200.0, 3.0) << "blue of a flat 200 image";

  BitmapPtr g(LoadJpegResource(res.Module(), 2, nullptr));
  ASSERT_TRUE(g) << "grey JPEG";
  EXPECT_EQ(At(*g, 3, 3) & 0xFF, (At(*g, 3, 3) >> 16) & 0xFF) << "grey fills every channel";

  BitmapPtr c(LoadJpegResource(res.Module(), 3, nullptr));
  ASSERT_TRUE(c) << "CMYK JPEG";
  ASSERT_EQ(c->Width(), 9) << "CMYK width";
  ASSERT_EQ(c->Height(), 7) << "CMYK height";
  bool zero = true;
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) zero = zero && At(*c, x, y) == 0;
  EXPECT_TRUE(zero) << "four-component rows decode to transparent black";

  BitmapPtr t(LoadJpegResource(res.Module(), 4, nullptr));
  ASSERT_TRUE(t) << "a JPEG cut short decodes as if it ended there";
  EXPECT_EQ(t->Height(), 16) << "at its full size";
  EXPECT_NEAR(double(At(*t, 0, 0) & 0xFF), 200.0, 3.0) << "the part that arrived is intact";
}

TEST(ImageFiles, ExtensionsAndLoaderList) {
  Bytes png = MakePng(3, 2, PNG_COLOR_TYPE_RGB, 8, Rgb8);
  Bytes jpeg = MakeJpeg(4, 4, 3, 10);
  std::string pngPath = ScratchPath("image.PnG"), jpegPath = ScratchPath("image.jpeg");
  std::string noDot = ScratchPath("dir.png/image");
  ASSERT_TRUE(WriteFile(pngPath, png)) << "scratch PNG file";
  ASSERT_TRUE(WriteFile(jpegPath, jpeg)) << "scratch JPEG file";
  BitmapPtr a(LoadPngFile(pngPath.c_str(), true, nullptr));
  EXPECT_TRUE(a) << "'.PnG' passes the extension check";
  EXPECT_EQ(LoadPngFile(jpegPath.c_str(), true, nullptr), nullptr) << "a JPEG extension is refused";
  EXPECT_EQ(LoadPngFile(noDot.c_str(), true, nullptr), nullptr) << "no dot in the last component";
  EXPECT_EQ(LoadPngFile("", true, nullptr), nullptr) << "empty path";
  BitmapPtr j(LoadJpegFile(jpegPath.c_str(), true, nullptr));
  EXPECT_TRUE(j) << "'.jpeg' passes";
  EXPECT_EQ(LoadJpegFile(pngPath.c_str(), false, nullptr), nullptr) << "a PNG is no JPEG";
  EXPECT_EQ(LoadPngFile("no/such/file.png", false, nullptr), nullptr) << "missing file";

  MemoryBitmap saved(5, 3);
  for (int i = 0; i < 15; ++i) saved.Bits()[i] = 0x80000000u | uint32_t(i * 0x030201);
  std::string round = ScratchPath("written.png");
  ASSERT_TRUE(SavePng(saved, round.c_str())) << "the writer writes";
  BitmapPtr back(LoadPngFile(round.c_str(), true, nullptr));
  ASSERT_TRUE(back) << "the written file loads";
  EXPECT_EQ(0, std::memcmp(back->Bits(), saved.Bits(), 60)) << "written and read back alike";
  EXPECT_FALSE(SavePng(MemoryBitmap(), round.c_str())) << "an empty bitmap is not written";

  const ImageLoaderEntry* list = ImageLoaders();
  ASSERT_TRUE(list && list->next) << "two file loaders are registered";
  EXPECT_EQ(list->load, &LoadPngFile) << "PNG first";
  EXPECT_EQ(list->next->load, &LoadJpegFile) << "JPEG second";
  EXPECT_EQ(0, std::memcmp(PngFileTypes(), "PNG files (*.PNG)\0*.PNG\0\0", 26)) << "PNG filter pair";
  EXPECT_STREQ(JpegFileTypes() + 33, "*.JPG;*.JPEG;*.JFIF") << "JPEG filter pattern";
  for (const std::string& p : {pngPath, jpegPath, round}) std::remove(p.c_str());
}

// Damaged images through every loader: each gives null, or (JPEG) an image of the
// undamaged size; none may crash or read outside its data.
TEST(DamagedImages, EveryLoaderSurvives) {
  Bytes png = MakeRgbaPng(16, 16, SamplePixels());
  Bytes jpeg = MakeJpeg(16, 16, 3, 128);
  struct Case {
    std::string what;
    Bytes bytes;
    bool mustFail;  // for every loader
  };
  std::vector<Case> cases;
  for (size_t cut : {size_t(0), size_t(7), size_t(8), size_t(20), size_t(33), size_t(40), png.size() / 2, png.size() - 13})
    cases.push_back({"PNG cut at " + std::to_string(cut), Bytes(png.begin(), png.begin() + long(cut)), true});
  for (size_t at : {size_t(1), size_t(13), size_t(17), size_t(24), size_t(30), size_t(45), png.size() / 2}) {
    Bytes b = png;
    b[at] ^= 0x5A;
    cases.push_back({"PNG byte flipped at " + std::to_string(at), b, true});
  }
  cases.push_back({"PNG zero width", WithPngSize(png, 0, 16), true});
  cases.push_back({"PNG zero height", WithPngSize(png, 16, 0), true});
  cases.push_back({"PNG 40000 wide", WithPngSize(png, 40000, 1), true});
  cases.push_back({"PNG 20000 by 20000", WithPngSize(png, 20000, 20000), true});
  cases.push_back({"PNG 2^31 wide", WithPngSize(png, 0x80000000u, 0x80000000u), true});
  for (size_t cut : {size_t(0), size_t(7), size_t(12), size_t(100), size_t(200), jpeg.size() / 2, jpeg.size() - 2})
    cases.push_back({"JPEG cut at " + std::to_string(cut), Bytes(jpeg.begin(), jpeg.begin() + long(cut)), cut < 200});
  for (size_t at : {size_t(1), size_t(3), size_t(30), size_t(150), jpeg.size() / 2, jpeg.size() - 1}) {
    Bytes b = jpeg;
    b[at] ^= 0xA5;
    cases.push_back({"JPEG byte flipped at " + std::to_string(at), b, false});
  }
  cases.push_back({"JPEG zero height", WithJpegSize(jpeg, 16, 0), true});
  cases.push_back({"JPEG 30000 by 30000", WithJpegSize(jpeg, 30000, 30000), true});
  cases.push_back({"JPEG 65000 by 2", WithJpegSize(jpeg, 65000, 2), true});

  std::vector<ResourceSpec> specs;
  for (size_t i = 0; i < cases.size(); ++i) {
    specs.push_back({"PNG", int(i + 1), cases[i].bytes.data(), cases[i].bytes.size()});
    specs.push_back({"JPG", int(i + 1), cases[i].bytes.data(), cases[i].bytes.size()});
  }
  Resources res(specs, "damaged.exe");
  ASSERT_NE(res.Module(), nullptr) << "a resource module could not be made";
  std::string path = ScratchPath("damaged.img");
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    ASSERT_TRUE(WriteFile(path, c.bytes)) << "scratch file for " << c.what;
    BitmapPtr results[4] = {BitmapPtr(LoadPngResource(res.Module(), int(i + 1), nullptr)),
                            BitmapPtr(LoadPngFile(path.c_str(), false, nullptr)),
                            BitmapPtr(LoadJpegResource(res.Module(), int(i + 1), nullptr)),
                            BitmapPtr(LoadJpegFile(path.c_str(), false, nullptr))};
    const char* names[4] = {"LoadPngResource", "LoadPngFile", "LoadJpegResource", "LoadJpegFile"};
    for (int k = 0; k < 4; ++k) {
      if (c.mustFail) {
        EXPECT_FALSE(results[k]) << names[k] << " accepted " << c.what;
      } else if (results[k]) {
        EXPECT_EQ(results[k]->Width(), 16) << names[k] << " width of " << c.what;
        EXPECT_EQ(results[k]->Height(), 16) << names[k] << " height of " << c.what;
      }
    }
  }
  std::remove(path.c_str());
}

TEST(PanelResources, AreBuiltIntoTheProgram) {
  struct Panel { int id, w, h; } panels[] = {{103, 800, 78}, {101, 60, 3660}, {100, 20, 128}};
  for (const Panel& p : panels) {
    BitmapPtr b(LoadPngResource(nullptr, p.id, nullptr));
    ASSERT_TRUE(b) << "panel resource " << p.id;
    EXPECT_EQ(b->Width(), p.w) << "width of resource " << p.id;
    EXPECT_EQ(b->Height(), p.h) << "height of resource " << p.id;
  }
  BitmapPtr panel(LoadPngResource(nullptr, 103, nullptr));
  bool opaque = true;
  for (int i = 0; i < 800 * 78; ++i) opaque = opaque && (panel->Bits()[i] >> 24) >= 225;
  EXPECT_TRUE(opaque) << "the panel is opaque";
  BitmapPtr knob(LoadPngResource(nullptr, 101, nullptr));
  EXPECT_EQ(At(*knob, 0, 0) >> 24, 0u) << "the knob strip is transparent around the knob";
  EXPECT_EQ(At(*knob, 30, 30 + 60 * 30) >> 24, 255u) << "and opaque at its centre";
}
