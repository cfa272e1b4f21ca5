// zarvo-make-pictures: writes the program's bitmap pictures as BMP files and their resource
// script into a folder, with the program's icon as an ICO file, and on request an enlarged
// preview of them as a PPM image.
//
//   zarvo-make-pictures OUTPUT_DIR [--preview FILE.ppm]
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/BmpFile.h"
#include "tools/Pictures.h"

namespace {

using zarvo::pictures::Bitmap;
using zarvo::pictures::Picture;
using zarvo::pictures::Rgb;

void WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

// A plain RGB image for the preview.
struct Canvas {
  int width;
  int height;
  std::vector<Rgb> pixels;

  Canvas(int width, int height, Rgb fill)
      : width(width), height(height), pixels(static_cast<std::size_t>(width * height), fill) {}

  void Fill(int left, int top, int w, int h, Rgb colour) {
    for (int y = top; y < top + h; ++y) {
      for (int x = left; x < left + w; ++x) {
        if (x >= 0 && x < width && y >= 0 && y < height) {
          pixels[static_cast<std::size_t>(y * width + x)] = colour;
        }
      }
    }
  }
};

constexpr Rgb kPreviewBackground{64, 64, 64};
constexpr Rgb kGridLine{96, 96, 96};
// A classic button face, dark enough to tell white from it.
constexpr Rgb kButtonFace{212, 208, 200};
constexpr int kGap = 12;

// Copies `layer` over `base` leaving out the layer's bottom-left colour, as the controls do.
void CopyTransparent(Bitmap& base, const Bitmap& layer) {
  const Rgb transparent = layer.At(0, layer.height - 1);
  for (int row = 0; row < layer.height && row < base.height; ++row) {
    for (int column = 0; column < layer.width && column < base.width; ++column) {
      if (layer.At(column, row) != transparent) base.At(column, row) = layer.At(column, row);
    }
  }
}

// Each pixel as a scale x scale square; with a grid every pixel is outlined.
void Blit(Canvas& canvas, const Bitmap& bitmap, int left, int top, int scale, bool grid) {
  const int step = grid ? scale + 1 : scale;
  if (grid) canvas.Fill(left, top, bitmap.width * step + 1, bitmap.height * step + 1, kGridLine);
  const int inset = grid ? 1 : 0;
  for (int row = 0; row < bitmap.height; ++row) {
    for (int column = 0; column < bitmap.width; ++column) {
      canvas.Fill(left + inset + column * step, top + inset + row * step, scale, scale,
                  bitmap.At(column, row));
    }
  }
}

const Bitmap& Find(const std::vector<Picture>& pictures, std::string_view name) {
  for (const Picture& picture : pictures) {
    if (picture.name == name) return picture.bitmap;
  }
  throw std::logic_error("no picture " + std::string(name));
}

// The pictures as drawn: on a button face, each box with the mark a checked control puts on it.
std::vector<Bitmap> ControlViews(const std::vector<Picture>& pictures) {
  const std::pair<std::string_view, std::string_view> views[] = {
      {"BLANK", ""},
      {"BLANK", "IMCHECK"},
      {"BLANK", "IMCROSS"},
      {"DISABLED", ""},
      {"BLANKFLAT", ""},
      {"BLANKFLAT", "IMCHECK"},
      {"BLANKFLAT", "IMCROSS"},
      {"DISABLEDFLAT", ""},
      {"BLANKROUND", "IMROUND"},
      {"DISABLEDROUND", ""},
      {"BLANKFLATROUND", "IMROUND"},
      {"DISABLEDFLATROUND", ""},
      {zarvo::pictures::kFolderPictureName, ""},
  };
  std::vector<Bitmap> result;
  for (const auto& [box, mark] : views) {
    const Bitmap& boxPicture = Find(pictures, box);
    Bitmap view(boxPicture.width, boxPicture.height, 24, {}, kButtonFace);
    CopyTransparent(view, boxPicture);
    if (!mark.empty()) CopyTransparent(view, Find(pictures, mark));
    result.push_back(std::move(view));
  }
  return result;
}

// An icon image over a button face, blended by its alpha.
Bitmap OnButtonFace(const zarvo::pictures::IconImage& image) {
  Bitmap view(image.size, image.size, 24, {}, kButtonFace);
  const auto blend = [](std::uint8_t over, std::uint8_t under, std::uint8_t alpha) {
    return static_cast<std::uint8_t>((over * alpha + under * (255 - alpha) + 127) / 255);
  };
  for (int row = 0; row < image.size; ++row) {
    for (int column = 0; column < image.size; ++column) {
      const zarvo::pictures::Rgba& pixel = image.At(column, row);
      view.At(column, row) = {blend(pixel.red, kButtonFace.red, pixel.alpha),
                              blend(pixel.green, kButtonFace.green, pixel.alpha),
                              blend(pixel.blue, kButtonFace.blue, pixel.alpha)};
    }
  }
  return view;
}

// Bands from top to bottom: the raw pictures enlarged with a pixel grid, the control views
// enlarged, the control views at three times their size, the icon's images at three times
// theirs; a band wraps after kPerLine images.
void WritePreview(const std::filesystem::path& path, const std::vector<Picture>& pictures) {
  struct Band {
    std::vector<const Bitmap*> bitmaps;
    int scale;
    bool grid;
  };
  const std::vector<Bitmap> views = ControlViews(pictures);
  std::vector<Bitmap> icons;
  for (const auto& image : zarvo::pictures::DrawProgramIcon()) icons.push_back(OnButtonFace(image));
  std::vector<Band> bands(4);
  for (const Picture& picture : pictures) bands[0].bitmaps.push_back(&picture.bitmap);
  for (const Bitmap& view : views) {
    bands[1].bitmaps.push_back(&view);
    bands[2].bitmaps.push_back(&view);
  }
  for (const Bitmap& icon : icons) bands[3].bitmaps.push_back(&icon);
  bands[0].scale = bands[1].scale = 10;
  bands[0].grid = bands[1].grid = true;
  bands[2].scale = bands[3].scale = 3;
  bands[2].grid = bands[3].grid = false;

  // Every cell of a band is as large as its largest picture.
  constexpr int kPerLine = 7;
  const auto cellWidth = [](const Band& band) {
    int width = 0;
    for (const Bitmap* bitmap : band.bitmaps) width = std::max(width, bitmap->width);
    return width * (band.grid ? band.scale + 1 : band.scale) + 1 + kGap;
  };
  const auto cellHeight = [](const Band& band) {
    int height = 0;
    for (const Bitmap* bitmap : band.bitmaps) height = std::max(height, bitmap->height);
    return height * (band.grid ? band.scale + 1 : band.scale) + 1 + kGap;
  };
  const auto lines = [](const Band& band) {
    return (static_cast<int>(band.bitmaps.size()) + kPerLine - 1) / kPerLine;
  };
  int width = 0;
  int height = kGap;
  for (const Band& band : bands) {
    width = std::max(width, kGap + kPerLine * cellWidth(band));
    height += lines(band) * cellHeight(band) + kGap;
  }

  Canvas canvas(width, height, kPreviewBackground);
  int top = kGap;
  for (const Band& band : bands) {
    const int step = band.grid ? band.scale + 1 : band.scale;
    for (std::size_t i = 0; i < band.bitmaps.size(); ++i) {
      const Bitmap& bitmap = *band.bitmaps[i];
      const int left = kGap + static_cast<int>(i % kPerLine) * cellWidth(band);
      const int cellTop = top + static_cast<int>(i / kPerLine) * cellHeight(band);
      if (!band.grid) {
        canvas.Fill(left - 4, cellTop - 4, bitmap.width * step + 8, bitmap.height * step + 8,
                    kButtonFace);
      }
      Blit(canvas, bitmap, left, cellTop, band.scale, band.grid);
    }
    top += lines(band) * cellHeight(band) + kGap;
  }

  const std::string header =
      "P6\n" + std::to_string(canvas.width) + " " + std::to_string(canvas.height) + "\n255\n";
  std::vector<std::uint8_t> bytes(header.begin(), header.end());
  for (const Rgb& pixel : canvas.pixels) {
    bytes.push_back(pixel.red);
    bytes.push_back(pixel.green);
    bytes.push_back(pixel.blue);
  }
  WriteFile(path, bytes);
}

int Usage() {
  std::fputs("usage: zarvo-make-pictures OUTPUT_DIR [--preview FILE.ppm]\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<std::filesystem::path> outputDir;
  std::optional<std::filesystem::path> preview;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--preview") {
      if (i + 1 >= argc || preview) return Usage();
      preview = argv[++i];
    } else if (!argument.empty() && argument[0] != '-' && !outputDir) {
      outputDir = argument;
    } else {
      return Usage();
    }
  }
  if (!outputDir) return Usage();

  try {
    const std::vector<Picture> pictures = zarvo::pictures::DrawPictures();
    std::filesystem::create_directories(*outputDir);
    for (const Picture& picture : pictures) {
      WriteFile(*outputDir / (picture.name + ".bmp"), zarvo::pictures::EncodeBmp(picture.bitmap));
    }
    WriteFile(*outputDir / (std::string(zarvo::pictures::kProgramIconName) + ".ico"),
              zarvo::pictures::EncodeIco(zarvo::pictures::DrawProgramIcon()));
    const std::string script = zarvo::pictures::ResourceScript(pictures);
    WriteFile(*outputDir / "pictures.rc",
              std::span(reinterpret_cast<const std::uint8_t*>(script.data()), script.size()));
    if (preview) WritePreview(*preview, pictures);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "zarvo-make-pictures: %s\n", error.what());
    return 1;
  }
  return 0;
}
