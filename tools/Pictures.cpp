// The pictures as character grids. Legend: '.' the transparent colour (magenta for the check
// box pictures, silver for the folder), K black, W white, G gray, L light gray, Y yellow,
// D dark yellow. The control copies a picture leaving out the colour of its bottom-left pixel,
// so that pixel is always '.'.
// The icon has a legend of its own: '.' fully transparent, O the box's outline, H its
// highlight, T the lid, F the front, S the tape, R the shaded right and bottom, E the arrow's
// edge, A the arrow.
#include "tools/Pictures.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace zarvo::pictures {
namespace {

using Grid16 = std::array<std::string_view, 16>;

// Sunken square: outer ring gray top/left and white right/bottom, inner ring black top/left
// and light gray right/bottom; as with a 3-D edge the right/bottom colour takes the top-right
// and bottom-left corners.
constexpr Grid16 kBlank = {
    "................", ".GGGGGGGGGGGGGW.", ".GKKKKKKKKKKKLW.", ".GKWWWWWWWWWWLW.",
    ".GKWWWWWWWWWWLW.", ".GKWWWWWWWWWWLW.", ".GKWWWWWWWWWWLW.", ".GKWWWWWWWWWWLW.",
    ".GKWWWWWWWWWWLW.", ".GKWWWWWWWWWWLW.", ".GKWWWWWWWWWWLW.", ".GKWWWWWWWWWWLW.",
    ".GKWWWWWWWWWWLW.", ".GLLLLLLLLLLLLW.", ".WWWWWWWWWWWWWW.", "................",
};

constexpr Grid16 kDisabled = {
    "................", ".GGGGGGGGGGGGGW.", ".GKKKKKKKKKKKLW.", ".GK..........LW.",
    ".GK..........LW.", ".GK..........LW.", ".GK..........LW.", ".GK..........LW.",
    ".GK..........LW.", ".GK..........LW.", ".GK..........LW.", ".GK..........LW.",
    ".GK..........LW.", ".GLLLLLLLLLLLLW.", ".WWWWWWWWWWWWWW.", "................",
};

constexpr Grid16 kBlankFlat = {
    "................", "................", "..GGGGGGGGGGGG..", "..GWWWWWWWWWWG..",
    "..GWWWWWWWWWWG..", "..GWWWWWWWWWWG..", "..GWWWWWWWWWWG..", "..GWWWWWWWWWWG..",
    "..GWWWWWWWWWWG..", "..GWWWWWWWWWWG..", "..GWWWWWWWWWWG..", "..GWWWWWWWWWWG..",
    "..GWWWWWWWWWWG..", "..GGGGGGGGGGGG..", "................", "................",
};

constexpr Grid16 kDisabledFlat = {
    "................", "................", "..GGGGGGGGGGGG..", "..G..........G..",
    "..G..........G..", "..G..........G..", "..G..........G..", "..G..........G..",
    "..G..........G..", "..G..........G..", "..G..........G..", "..G..........G..",
    "..G..........G..", "..GGGGGGGGGGGG..", "................", "................",
};

// Sunken disc 12 across, two rims of a circle of radius 6 around (7.5, 8.5); the rims split
// along the falling diagonal, a pixel on it going to the lower right.
constexpr Grid16 kBlankRound = {
    "................", "................", "................", "......GGGG......",
    "....GGKKKKGG....", "...GKKWWWWKLW...", "...GKWWWWWWLW...", "..GKWWWWWWWWLW..",
    "..GKWWWWWWWWLW..", "..GKWWWWWWWWLW..", "..GKWWWWWWWWLW..", "...GKWWWWWWLW...",
    "...GLLWWWWLLW...", "....WWLLLLWW....", "......WWWW......", "................",
};

constexpr Grid16 kDisabledRound = {
    "................", "................", "................", "......GGGG......",
    "....GGKKKKGG....", "...GKK....KLW...", "...GK......LW...", "..GK........LW..",
    "..GK........LW..", "..GK........LW..", "..GK........LW..", "...GK......LW...",
    "...GLL....LLW...", "....WWLLLLWW....", "......WWWW......", "................",
};

// One-pixel circles (midpoint rule) of radius 5 and 6 around (7, 8), the centre of the dot.
constexpr Grid16 kBlankFlatRound = {
    "................", "................", "................", ".....GGGGG......",
    "....GWWWWWG.....", "...GWWWWWWWG....", "..GWWWWWWWWWG...", "..GWWWWWWWWWG...",
    "..GWWWWWWWWWG...", "..GWWWWWWWWWG...", "..GWWWWWWWWWG...", "...GWWWWWWWG....",
    "....GWWWWWG.....", ".....GGGGG......", "................", "................",
};

constexpr Grid16 kDisabledFlatRound = {
    "................", "................", ".....GGGGG......", "....G.....G.....",
    "...G.......G....", "..G.........G...", ".G...........G..", ".G...........G..",
    ".G...........G..", ".G...........G..", ".G...........G..", "..G.........G...",
    "...G.......G....", "....G.....G.....", ".....GGGGG......", "................",
};

constexpr Grid16 kImCheck = {
    "................", "................", "................", "................",
    "...........K....", "..........KK....", ".........KKK....", "....K...KKK.....",
    "....KK.KKK......", "....KKKKK.......", ".....KKK........", "......K.........",
    "................", "................", "................", "................",
};

constexpr Grid16 kImCross = {
    "................", "................", "................", "................",
    "..........KK....", "....KK...KKK....", "....KKK.KKK.....", ".....KKKKK......",
    "......KKKK......", ".....KKKKKK.....", "....KKK..KKK....", "....KK....KK....",
    "................", "................", "................", "................",
};

constexpr Grid16 kImRound = {
    "................", "................", "................", "................",
    "................", "................", "......KKK.......", ".....KKKKK......",
    ".....KKKKK......", ".....KKKKK......", "......KKK.......", "................",
    "................", "................", "................", "................",
};

// Open folder, 18 x 15: the back dithered yellow and white, the front flap dark yellow, and
// the bent arrow of "open" above it.
constexpr std::array<std::string_view, 15> kFolder = {
    "..................", "...........KKK....", "..........K...K.K.", "...............KK.",
    "..KKKK........KKK.", ".KYWYWK...........", ".KWYWYWKKKKKKK....", ".KYWYWYWYWYWYK....",
    ".KWYWYWKKKKKKKKKK.", ".KYWYWKDDDDDDDDK..", ".KWYWKDDDDDDDDK...", ".KYWKDDDDDDDDK....",
    ".KWKDDDDDDDDK.....", ".KKKKKKKKKKK......", "..................",
};

// The icon at each size, drawn for it rather than scaled: at 16 pixels without the shading.
// clang-format off
constexpr std::array<std::string_view, 16> kIcon16 = {
    "......EEEE......",
    "......EAAE......",
    "......EAAE......",
    "......EAAE......",
    "...EEEEAAEEEE...",
    "....EAAAAAAE....",
    ".....EAAAAE.....",
    "......EAAE......",
    ".OOOOOOEEOOOOOO.",
    ".OTTTTTTTTTTTTO.",
    ".OOOOOOOOOOOOOO.",
    ".OFFFFFSSFFFFFO.",
    ".OFFFFFSSFFFFFO.",
    ".OFFFFFSSFFFFFO.",
    ".OFFFFFFFFFFFFO.",
    ".OOOOOOOOOOOOOO.",
};

constexpr std::array<std::string_view, 32> kIcon32 = {
    "................................",
    "............EEEEEEEE............",
    "............EAAAAAAE............",
    "............EAAAAAAE............",
    "............EAAAAAAE............",
    "............EAAAAAAE............",
    "............EAAAAAAE............",
    "............EAAAAAAE............",
    ".....EEEEEEEEAAAAAAEEEEEEEE.....",
    "......EAAAAAAAAAAAAAAAAAAE......",
    ".......EAAAAAAAAAAAAAAAAE.......",
    "........EAAAAAAAAAAAAAAE........",
    ".........EAAAAAAAAAAAAE.........",
    "..........EAAAAAAAAAAE..........",
    "............EAAAAAAE............",
    ".............EAAAAE.............",
    "..OOOOOOOOOOOOEAAEOOOOOOOOOOOO..",
    "..OHHHHHHHHHHHHEEHHHHHHHHHHHHO..",
    "..OTTTTTTTTTTTTEETTTTTTTTTTTTO..",
    "..OTTTTTTTTTTTTTTTTTTTTTTTTTTO..",
    "..OOOOOOOOOOOOOOOOOOOOOOOOOOOO..",
    "..OHFFFFFFFFFSSSSSSFFFFFFFFFRO..",
    "..OHFFFFFFFFFSSSSSSFFFFFFFFFRO..",
    "..OHFFFFFFFFFSSSSSSFFFFFFFFFRO..",
    "..OHFFFFFFFFFSSSSSSFFFFFFFFFRO..",
    "..OHFFFFFFFFFSSSSSSFFFFFFFFFRO..",
    "..OHFFFFFFFFFSSSSSSFFFFFFFFFRO..",
    "..OHFFFFFFFFFSSSSSSFFFFFFFFFRO..",
    "..OHFFFFFFFFFSSSSSSFFFFFFFFFRO..",
    "..OHFFFFFFFFFSSSSSSFFFFFFFFFRO..",
    "..ORRRRRRRRRRRRRRRRRRRRRRRRRRO..",
    "..OOOOOOOOOOOOOOOOOOOOOOOOOOOO..",
};

constexpr std::array<std::string_view, 48> kIcon48 = {
    "................................................",
    "................................................",
    "..................EEEEEEEEEEEE..................",
    "..................EAAAAAAAAAAE..................",
    "..................EAAAAAAAAAAE..................",
    "..................EAAAAAAAAAAE..................",
    "..................EAAAAAAAAAAE..................",
    "..................EAAAAAAAAAAE..................",
    "..................EAAAAAAAAAAE..................",
    "..................EAAAAAAAAAAE..................",
    "..................EAAAAAAAAAAE..................",
    "..................EAAAAAAAAAAE..................",
    "........EEEEEEEEEEEAAAAAAAAAAEEEEEEEEEEE........",
    ".........EAAAAAAAAAAAAAAAAAAAAAAAAAAAAE.........",
    "..........EAAAAAAAAAAAAAAAAAAAAAAAAAAE..........",
    "...........EAAAAAAAAAAAAAAAAAAAAAAAAE...........",
    "............EAAAAAAAAAAAAAAAAAAAAAAE............",
    ".............EAAAAAAAAAAAAAAAAAAAAE.............",
    "..............EAAAAAAAAAAAAAAAAAAE..............",
    "...............EAAAAAAAAAAAAAAAAE...............",
    "................EAAAAAAAAAAAAAAE................",
    ".................EAAAAAAAAAAAAE.................",
    "..................EAAAAAAAAAAE..................",
    "...................EAAAAAAAAE...................",
    "...OOOOOOOOOOOOOOOOOEAAAAAAEOOOOOOOOOOOOOOOOO...",
    "...OHHHHHHHHHHHHHHHHHEAAAAEHHHHHHHHHHHHHHHHHO...",
    "...OTTTTTTTTTTTTTTTTTTEAAETTTTTTTTTTTTTTTTTTO...",
    "...OTTTTTTTTTTTTTTTTTTTEETTTTTTTTTTTTTTTTTTTO...",
    "...OTTTTTTTTTTTTTTTTTTTEETTTTTTTTTTTTTTTTTTTO...",
    "...OTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTO...",
    "...OOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOO...",
    "...OHFFFFFFFFFFFFFFFSSSSSSSSFFFFFFFFFFFFFFFRO...",
    "...OHFFFFFFFFFFFFFFFSSSSSSSSFFFFFFFFFFFFFFFRO...",
    "...OHFFFFFFFFFFFFFFFSSSSSSSSFFFFFFFFFFFFFFFRO...",
    "...OHFFFFFFFFFFFFFFFSSSSSSSSFFFFFFFFFFFFFFFRO...",
    "...OHFFFFFFFFFFFFFFFSSSSSSSSFFFFFFFFFFFFFFFRO...",
    "...OHFFFFFFFFFFFFFFFSSSSSSSSFFFFFFFFFFFFFFFRO...",
    "...OHFFFFFFFFFFFFFFFSSSSSSSSFFFFFFFFFFFFFFFRO...",
    "...OHFFFFFFFFFFFFFFFSSSSSSSSFFFFFFFFFFFFFFFRO...",
    "...OHFFFFFFFFFFFFFFFSSSSSSSSFFFFFFFFFFFFFFFRO...",
    "...OHFFFFFFFFFFFFFFFSSSSSSSSFFFFFFFFFFFFFFFRO...",
    "...OHFFFFFFFFFFFFFFFSSSSSSSSFFFFFFFFFFFFFFFRO...",
    "...OHFFFFFFFFFFFFFFFSSSSSSSSFFFFFFFFFFFFFFFRO...",
    "...OHFFFFFFFFFFFFFFFSSSSSSSSFFFFFFFFFFFFFFFRO...",
    "...OHFFFFFFFFFFFFFFFSSSSSSSSFFFFFFFFFFFFFFFRO...",
    "...OHFFFFFFFFFFFFFFFSSSSSSSSFFFFFFFFFFFFFFFRO...",
    "...ORRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRO...",
    "...OOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOO...",
};
// clang-format on

Rgb Colour(char code, Rgb transparent) {
  switch (code) {
    case '.':
      return transparent;
    case 'K':
      return kBlack;
    case 'W':
      return kWhite;
    case 'G':
      return kGray;
    case 'L':
      return kLightGray;
    case 'Y':
      return kYellow;
    case 'D':
      return kDarkYellow;
    default:
      throw std::logic_error(std::string("unknown colour code '") + code + "' in a picture");
  }
}

Rgba IconColour(char code) {
  switch (code) {
    case '.':
      return kIconTransparent;
    case 'O':
      return kIconOutline;
    case 'H':
      return kIconHighlight;
    case 'T':
      return kIconLid;
    case 'F':
      return kIconFront;
    case 'S':
      return kIconTape;
    case 'R':
      return kIconShade;
    case 'E':
      return kIconArrowEdge;
    case 'A':
      return kIconArrow;
    default:
      throw std::logic_error(std::string("unknown colour code '") + code + "' in the icon");
  }
}

template <std::size_t Rows>
IconImage DrawIconImage(const std::array<std::string_view, Rows>& grid) {
  IconImage image{static_cast<int>(Rows), std::vector<Rgba>(Rows * Rows)};
  for (int row = 0; row < image.size; ++row) {
    const std::string_view line = grid[static_cast<std::size_t>(row)];
    if (line.size() != Rows) throw std::logic_error("icon grid is not square");
    for (int column = 0; column < image.size; ++column) {
      image.At(column, row) = IconColour(line[static_cast<std::size_t>(column)]);
    }
  }
  return image;
}

template <std::size_t Rows>
Bitmap Draw(const std::array<std::string_view, Rows>& grid, int bitsPerPixel,
            std::vector<Rgb> palette, Rgb transparent) {
  const int width = static_cast<int>(grid[0].size());
  Bitmap bitmap(width, static_cast<int>(Rows), bitsPerPixel, std::move(palette), transparent);
  for (int row = 0; row < static_cast<int>(Rows); ++row) {
    const std::string_view line = grid[static_cast<std::size_t>(row)];
    if (static_cast<int>(line.size()) != width) {
      throw std::logic_error("picture grid rows differ in length");
    }
    for (int column = 0; column < width; ++column) {
      bitmap.At(column, row) = Colour(line[static_cast<std::size_t>(column)], transparent);
    }
  }
  return bitmap;
}

Picture Box(std::string name, const Grid16& grid) {
  return {std::move(name), Draw(grid, 4, StandardPalette16(), kMagenta)};
}

}  // namespace

std::vector<Rgb> StandardPalette16() {
  return {
      {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
      {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
      {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
  };
}

std::vector<Rgb> Palette256() {
  std::vector<Rgb> palette = StandardPalette16();
  for (int red = 0; red < 6; ++red) {
    for (int green = 0; green < 6; ++green) {
      for (int blue = 0; blue < 6; ++blue) {
        palette.push_back({static_cast<std::uint8_t>(red * 51),
                           static_cast<std::uint8_t>(green * 51),
                           static_cast<std::uint8_t>(blue * 51)});
      }
    }
  }
  for (int step = 0; step < 24; ++step) {
    const auto level = static_cast<std::uint8_t>(8 + step * 10);
    palette.push_back({level, level, level});
  }
  return palette;
}

std::vector<Picture> DrawPictures() {
  std::vector<Picture> pictures;
  pictures.push_back(Box("BLANK", kBlank));
  pictures.push_back(Box("DISABLED", kDisabled));
  pictures.push_back(Box("BLANKFLAT", kBlankFlat));
  pictures.push_back(Box("DISABLEDFLAT", kDisabledFlat));
  pictures.push_back(Box("BLANKROUND", kBlankRound));
  pictures.push_back(Box("DISABLEDROUND", kDisabledRound));
  pictures.push_back(Box("BLANKFLATROUND", kBlankFlatRound));
  pictures.push_back({"DISABLEDFLATROUND", Draw(kDisabledFlatRound, 8, Palette256(), kMagenta)});
  pictures.push_back(Box("IMCHECK", kImCheck));
  pictures.push_back(Box("IMCROSS", kImCross));
  pictures.push_back(Box("IMROUND", kImRound));
  pictures.push_back({kFolderPictureName, Draw(kFolder, 24, {}, kSilver)});
  return pictures;
}

std::vector<IconImage> DrawProgramIcon() {
  return {DrawIconImage(kIcon16), DrawIconImage(kIcon32), DrawIconImage(kIcon48)};
}

std::string ResourceScript(const std::vector<Picture>& pictures) {
  std::string script =
      "// The program's bitmap pictures, written by zarvo-make-pictures (tools/Pictures.cpp).\n";
  for (const Picture& picture : pictures) {
    script += picture.name + " BITMAP \"" + picture.name + ".bmp\"\n";
  }
  return script;
}

}  // namespace zarvo::pictures
