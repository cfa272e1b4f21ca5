// The checked-in pictures: they are what the generator writes, and each shows what the check box
// control and the browse button expect of it; the program's icon is one clean shape at each size.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tools/BmpFile.h"
#include "tools/Pictures.h"
#include "tests/support/TemporaryFolder.h"

namespace {

using zarvo::pictures::Bitmap;
using zarvo::pictures::DecodeBmp;
using zarvo::pictures::Rgb;

namespace fs = std::filesystem;

const fs::path kCheckedIn = ZARVO_PICTURES_DIR;

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kGray{128, 128, 128};
constexpr Rgb kLightGray{192, 192, 192};
constexpr Rgb kSilver{192, 192, 192};
constexpr Rgb kMagenta{255, 0, 255};

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Bitmap Load(const std::string& name) { return DecodeBmp(ReadBytes(kCheckedIn / (name + ".bmp"))); }

std::set<std::string> FileNames(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

// Single quotes for the shell; none of our paths holds one.
std::string Quoted(const std::string& text) {
  std::string quoted(1, '\'');
  quoted.append(text);
  quoted.push_back('\'');
  return quoted;
}

int RunGenerator(const std::string& arguments) {
  std::string command = Quoted(ZARVO_MAKE_PICTURES);
  command.append(" ").append(arguments).append(" 2>/dev/null");
  return std::system(command.c_str());
}

TEST(PictureFilesTest, CheckedInFilesAreExactlyWhatTheGeneratorWrites) {
  zarvo::testing::TemporaryFolder folder("zarvo-pictures");
  const fs::path output = folder.Path() / "out";
  ASSERT_EQ(RunGenerator(Quoted(output.string())), 0);

  const std::set<std::string> generated = FileNames(output);
  EXPECT_EQ(FileNames(kCheckedIn), generated);
  EXPECT_TRUE(generated.contains("pictures.rc"));
  for (const std::string& name : generated) {
    EXPECT_TRUE(ReadBytes(kCheckedIn / name) == ReadBytes(output / name))
        << name << " differs from what zarvo-make-pictures writes: regenerate it";
  }
}

TEST(PictureFilesTest, ResourceScriptNamesEveryPictureByItsFile) {
  std::ifstream in(kCheckedIn / "pictures.rc");
  std::set<std::string> named;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line.starts_with("//")) continue;
    const std::size_t blank = line.find(' ');
    ASSERT_NE(blank, std::string::npos) << line;
    const std::string name = line.substr(0, blank);
    EXPECT_EQ(line, name + " BITMAP \"" + name + ".bmp\"");
    EXPECT_TRUE(fs::exists(kCheckedIn / (name + ".bmp"))) << name;
    named.insert(name + ".bmp");
  }
  std::set<std::string> files = FileNames(kCheckedIn);
  files.erase("pictures.rc");
  // The setup's own resource script names the icon.
  files.erase(std::string(zarvo::pictures::kProgramIconName) + ".ico");
  EXPECT_EQ(named, files);
}

TEST(PictureFilesTest, GeneratorRefusesBadArguments) {
  EXPECT_NE(RunGenerator(""), 0);
  EXPECT_NE(RunGenerator("--bogus"), 0);
  EXPECT_NE(RunGenerator("a b"), 0);
  EXPECT_NE(RunGenerator("out --preview"), 0);
}

struct Format {
  const char* name;
  int width;
  int height;
  int bitsPerPixel;
  std::size_t paletteSize;
  Rgb bottomLeft;
};

void PrintTo(const Format& c, std::ostream* out) { *out << c.name; }

class PictureFormatTest : public ::testing::TestWithParam<Format> {};

TEST_P(PictureFormatTest, HasItsSizeDepthPaletteAndTransparentColour) {
  const Format& f = GetParam();
  const Bitmap bitmap = Load(f.name);
  EXPECT_EQ(bitmap.width, f.width);
  EXPECT_EQ(bitmap.height, f.height);
  EXPECT_EQ(bitmap.bitsPerPixel, f.bitsPerPixel);
  EXPECT_EQ(bitmap.palette.size(), f.paletteSize);
  EXPECT_EQ(bitmap.At(0, bitmap.height - 1), f.bottomLeft);
}

INSTANTIATE_TEST_SUITE_P(Pictures, PictureFormatTest,
                         ::testing::Values(Format{"BLANK", 16, 16, 4, 16, kMagenta},
                                           Format{"DISABLED", 16, 16, 4, 16, kMagenta},
                                           Format{"BLANKFLAT", 16, 16, 4, 16, kMagenta},
                                           Format{"DISABLEDFLAT", 16, 16, 4, 16, kMagenta},
                                           Format{"BLANKROUND", 16, 16, 4, 16, kMagenta},
                                           Format{"DISABLEDROUND", 16, 16, 4, 16, kMagenta},
                                           Format{"BLANKFLATROUND", 16, 16, 4, 16, kMagenta},
                                           Format{"DISABLEDFLATROUND", 16, 16, 8, 256, kMagenta},
                                           Format{"IMCHECK", 16, 16, 4, 16, kMagenta},
                                           Format{"IMCROSS", 16, 16, 4, 16, kMagenta},
                                           Format{"IMROUND", 16, 16, 4, 16, kMagenta},
                                           Format{"SB2FOLDER", 18, 15, 24, 0, kSilver}),
                         [](const auto& info) { return std::string(info.param.name); });

// The sides of the square ring from (first, first) to (last, last): top and left in one colour,
// right and bottom in another. The top-right and bottom-left corners belong to neither side and
// are left out unless `corners` is set, when they must take one of the two colours.
void ExpectSquareRing(const Bitmap& b, int first, int last, Rgb topLeft, Rgb bottomRight,
                      const char* what) {
  for (int i = first; i < last; ++i) {
    EXPECT_EQ(b.At(i, first), topLeft) << what << " top at column " << i;
    EXPECT_EQ(b.At(first, i), topLeft) << what << " left at row " << i;
  }
  for (int i = first + 1; i <= last; ++i) {
    EXPECT_EQ(b.At(last, i), bottomRight) << what << " right at row " << i;
    EXPECT_EQ(b.At(i, last), bottomRight) << what << " bottom at column " << i;
  }
  for (const auto& [column, row] : {std::pair{last, first}, std::pair{first, last}}) {
    const Rgb corner = b.At(column, row);
    EXPECT_TRUE(corner == topLeft || corner == bottomRight)
        << what << " corner " << column << ", " << row;
  }
}

void ExpectFilled(const Bitmap& b, int first, int last, Rgb colour, const char* what) {
  for (int row = first; row <= last; ++row) {
    for (int column = first; column <= last; ++column) {
      EXPECT_EQ(b.At(column, row), colour) << what << " at " << column << ", " << row;
    }
  }
}

bool Inside(int column, int row, int first, int last) {
  return column >= first && column <= last && row >= first && row <= last;
}

TEST(BoxPictureTest, BlankIsASunkenSquareBox) {
  const Bitmap b = Load("BLANK");
  ExpectSquareRing(b, 0, 15, kMagenta, kMagenta, "outermost ring");
  ExpectSquareRing(b, 1, 14, kGray, kWhite, "outer ring");
  ExpectSquareRing(b, 2, 13, kBlack, kLightGray, "inner ring");
  ExpectFilled(b, 3, 12, kWhite, "inside");
}

TEST(BoxPictureTest, BlankFlatIsAGrayOutlineAroundWhite) {
  const Bitmap b = Load("BLANKFLAT");
  for (int row = 0; row < 16; ++row) {
    for (int column = 0; column < 16; ++column) {
      const Rgb expected = !Inside(column, row, 2, 13)  ? kMagenta
                           : Inside(column, row, 3, 12) ? kWhite
                                                        : kGray;
      EXPECT_EQ(b.At(column, row), expected) << column << ", " << row;
    }
  }
}

// A disabled box is its enabled box with the white inside left out.
TEST(BoxPictureTest, DisabledBoxesAreTheEnabledFramesWithNothingInside) {
  for (const auto& [enabled, disabled] :
       {std::pair{"BLANK", "DISABLED"}, std::pair{"BLANKFLAT", "DISABLEDFLAT"}}) {
    const Bitmap on = Load(enabled);
    const Bitmap off = Load(disabled);
    for (int row = 0; row < 16; ++row) {
      for (int column = 0; column < 16; ++column) {
        const Rgb expected = Inside(column, row, 3, 12) ? kMagenta : on.At(column, row);
        EXPECT_EQ(off.At(column, row), expected) << disabled << " at " << column << ", " << row;
      }
    }
  }
}

using Region = std::set<std::pair<int, int>>;

// The pixels reachable from (column, row) through 4-neighbours of the same colour.
Region Flood(const Bitmap& b, int column, int row) {
  const Rgb colour = b.At(column, row);
  Region region;
  std::vector<std::pair<int, int>> todo{{column, row}};
  while (!todo.empty()) {
    const auto [c, r] = todo.back();
    todo.pop_back();
    if (c < 0 || r < 0 || c >= b.width || r >= b.height || b.At(c, r) != colour ||
        region.contains({c, r})) {
      continue;
    }
    region.insert({c, r});
    todo.insert(todo.end(), {{c + 1, r}, {c - 1, r}, {c, r + 1}, {c, r - 1}});
  }
  return region;
}

// Whether a 4-neighbour of the pixel (or, with `diagonals`, an 8-neighbour) is in the region.
bool Touches(const Region& region, int column, int row, bool diagonals) {
  for (int dr = -1; dr <= 1; ++dr) {
    for (int dc = -1; dc <= 1; ++dc) {
      if ((dr == 0 && dc == 0) || (!diagonals && dr != 0 && dc != 0)) continue;
      if (region.contains({column + dc, row + dr})) return true;
    }
  }
  return false;
}

struct Disc {
  const char* name;
  int firstColumn;
  int lastColumn;
  int firstRow;
  int lastRow;
  Rgb inside;
  bool sunken;  // two shaded rims; otherwise a one-pixel gray circle
};

void PrintTo(const Disc& c, std::ostream* out) { *out << c.name; }

class DiscPictureTest : public ::testing::TestWithParam<Disc> {};

TEST_P(DiscPictureTest, IsAClosedRimOverExactlyItsColumnsAndRows) {
  const Disc& d = GetParam();
  const Bitmap b = Load(d.name);
  const int centreColumn = (d.firstColumn + d.lastColumn) / 2;
  const int centreRow = (d.firstRow + d.lastRow) / 2;
  ASSERT_EQ(b.At(centreColumn, centreRow), d.inside);

  const Region outside = Flood(b, 0, b.height - 1);
  const Region inside = Flood(b, centreColumn, centreRow);
  ASSERT_FALSE(outside.contains({centreColumn, centreRow})) << "the rim is open";
  for (const auto& [column, row] : inside) {
    ASSERT_FALSE(Touches(outside, column, row, false))
        << "the rim is open at " << column << ", " << row;
  }

  int minColumn = b.width, maxColumn = -1, minRow = b.height, maxRow = -1;
  for (int row = 0; row < b.height; ++row) {
    for (int column = 0; column < b.width; ++column) {
      const Rgb colour = b.At(column, row);
      if (outside.contains({column, row})) continue;
      minColumn = std::min(minColumn, column);
      maxColumn = std::max(maxColumn, column);
      minRow = std::min(minRow, row);
      maxRow = std::max(maxRow, row);
      if (inside.contains({column, row})) continue;
      // A rim pixel.
      ASSERT_NE(colour, kMagenta) << "a transparent hole at " << column << ", " << row;
      if (!d.sunken) {
        EXPECT_EQ(colour, kGray) << column << ", " << row;
        EXPECT_TRUE(Touches(inside, column, row, true) && Touches(outside, column, row, true))
            << "the circle is more than one pixel thick at " << column << ", " << row;
        continue;
      }
      // Upper left and lower right split along the falling diagonal through the centre.
      const int side = 2 * (column + row) - (d.firstColumn + d.lastColumn + d.firstRow + d.lastRow);
      const bool outer = Touches(outside, column, row, false);
      const Rgb upperLeft = outer ? kGray : kBlack;
      const Rgb lowerRight = outer ? kWhite : kLightGray;
      const char* rim = outer ? "outer" : "inner";
      if (side < 0) {
        EXPECT_EQ(colour, upperLeft) << rim << " rim at " << column << ", " << row;
      } else if (side > 0) {
        EXPECT_EQ(colour, lowerRight) << rim << " rim at " << column << ", " << row;
      } else {
        EXPECT_TRUE(colour == upperLeft || colour == lowerRight)
            << rim << " rim at " << column << ", " << row;
      }
    }
  }
  EXPECT_EQ(minColumn, d.firstColumn);
  EXPECT_EQ(maxColumn, d.lastColumn);
  EXPECT_EQ(minRow, d.firstRow);
  EXPECT_EQ(maxRow, d.lastRow);
  for (const auto& [column, row] : outside) EXPECT_EQ(b.At(column, row), kMagenta);
}

INSTANTIATE_TEST_SUITE_P(Pictures, DiscPictureTest,
                         ::testing::Values(Disc{"BLANKROUND", 2, 13, 3, 14, kWhite, true},
                                           Disc{"DISABLEDROUND", 2, 13, 3, 14, kMagenta, true},
                                           Disc{"BLANKFLATROUND", 2, 12, 3, 13, kWhite, false},
                                           Disc{"DISABLEDFLATROUND", 1, 13, 2, 14, kMagenta,
                                                false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BoxPictureTest, DisabledRoundIsTheRimOfBlankRound) {
  const Bitmap on = Load("BLANKROUND");
  const Bitmap off = Load("DISABLEDROUND");
  const Region inside = Flood(on, 7, 8);
  for (int row = 0; row < 16; ++row) {
    for (int column = 0; column < 16; ++column) {
      const Rgb expected = inside.contains({column, row}) ? kMagenta : on.At(column, row);
      EXPECT_EQ(off.At(column, row), expected) << column << ", " << row;
    }
  }
}

// Black columns, as inclusive ranges, by row; every other pixel is transparent.
using MarkRows = std::map<int, std::vector<std::pair<int, int>>>;

struct Mark {
  const char* name;
  MarkRows rows;
};

void PrintTo(const Mark& c, std::ostream* out) { *out << c.name; }

class MarkPictureTest : public ::testing::TestWithParam<Mark> {};

TEST_P(MarkPictureTest, IsBlackExactlyWhereListed) {
  const Mark& m = GetParam();
  const Bitmap b = Load(m.name);
  for (int row = 0; row < 16; ++row) {
    for (int column = 0; column < 16; ++column) {
      bool black = false;
      if (const auto found = m.rows.find(row); found != m.rows.end()) {
        for (const auto& [first, last] : found->second)
          black = black || (column >= first && column <= last);
      }
      EXPECT_EQ(b.At(column, row), black ? kBlack : kMagenta) << column << ", " << row;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, MarkPictureTest,
    ::testing::Values(
        Mark{"IMCHECK",
             {{4, {{11, 11}}},
              {5, {{10, 11}}},
              {6, {{9, 11}}},
              {7, {{4, 4}, {8, 10}}},
              {8, {{4, 5}, {7, 9}}},
              {9, {{4, 8}}},
              {10, {{5, 7}}},
              {11, {{6, 6}}}}},
        Mark{"IMCROSS",
             {{4, {{10, 11}}},
              {5, {{4, 5}, {9, 11}}},
              {6, {{4, 6}, {8, 10}}},
              {7, {{5, 9}}},
              {8, {{6, 9}}},
              {9, {{5, 10}}},
              {10, {{4, 6}, {9, 11}}},
              {11, {{4, 5}, {10, 11}}}}},
        Mark{"IMROUND",
             {{6, {{6, 8}}}, {7, {{5, 9}}}, {8, {{5, 9}}}, {9, {{5, 9}}}, {10, {{6, 8}}}}}),
    [](const auto& info) { return std::string(info.param.name); });

// A mark is copied onto the same rectangle as its box; it must fall on the white inside.
TEST(MarkPictureTest, MarksLieInsideTheBoxesTheyAreDrawnOn) {
  const std::pair<const char*, const char*> pairs[] = {
      {"BLANK", "IMCHECK"},     {"BLANK", "IMCROSS"},      {"BLANKFLAT", "IMCHECK"},
      {"BLANKFLAT", "IMCROSS"}, {"BLANKROUND", "IMROUND"}, {"BLANKFLATROUND", "IMROUND"},
  };
  for (const auto& [box, mark] : pairs) {
    const Bitmap boxPicture = Load(box);
    const Bitmap markPicture = Load(mark);
    for (int row = 0; row < 16; ++row) {
      for (int column = 0; column < 16; ++column) {
        if (markPicture.At(column, row) != kMagenta) {
          EXPECT_EQ(boxPicture.At(column, row), kWhite)
              << mark << " on " << box << " at " << column << ", " << row;
        }
      }
    }
  }
}

TEST(FolderPictureTest, IsDrawnInTheFourColoursOnSilver) {
  const Bitmap b = Load(zarvo::pictures::kFolderPictureName);
  const std::set<std::tuple<int, int, int>> allowed = {
      {0, 0, 0}, {255, 255, 0}, {255, 255, 255}, {128, 128, 0}, {192, 192, 192}};
  std::set<std::tuple<int, int, int>> used;
  for (const Rgb& pixel : b.pixels) used.insert({pixel.red, pixel.green, pixel.blue});
  EXPECT_EQ(used, allowed);
}

// ---- the program's icon

using zarvo::pictures::IconImage;
using zarvo::pictures::Rgba;

std::vector<IconImage> LoadIcon() {
  return zarvo::pictures::DecodeIco(
      ReadBytes(kCheckedIn / (std::string(zarvo::pictures::kProgramIconName) + ".ico")));
}

bool IsArrow(const Rgba& pixel) {
  return pixel == zarvo::pictures::kIconArrow || pixel == zarvo::pictures::kIconArrowEdge;
}

TEST(IconPictureTest, HoldsThe16_32And48PixelImagesInThatOrder) {
  const std::vector<IconImage> images = LoadIcon();
  ASSERT_EQ(images.size(), 3u);
  EXPECT_EQ(images[0].size, 16);
  EXPECT_EQ(images[1].size, 32);
  EXPECT_EQ(images[2].size, 48);
}

// Each image: only the legend's opaque colours and full transparency (no stray half-alpha
// pixels), one 4-connected shape, and every transparent pixel reachable from the border (no
// holes in the outline).
TEST(IconPictureTest, EachImageIsOneSolidShapeInTheLegendColours) {
  const std::set<std::tuple<int, int, int, int>> legend = {
      {74, 48, 20, 255},   {250, 226, 178, 255}, {242, 205, 140, 255},
      {222, 170, 96, 255}, {190, 138, 66, 255},  {196, 144, 72, 255},
      {18, 82, 150, 255},  {44, 132, 220, 255},  {0, 0, 0, 0},
  };
  for (const IconImage& image : LoadIcon()) {
    const auto opaque = [&](int c, int r) { return image.At(c, r).alpha != 0; };
    int opaqueCount = 0;
    std::pair<int, int> first{-1, -1};
    for (int r = 0; r < image.size; ++r) {
      for (int c = 0; c < image.size; ++c) {
        const Rgba& p = image.At(c, r);
        EXPECT_TRUE(legend.contains({p.red, p.green, p.blue, p.alpha}))
            << image.size << " px at " << c << ", " << r << ": " << p;
        if (opaque(c, r)) {
          ++opaqueCount;
          if (first.first < 0) first = {c, r};
        }
      }
    }
    // Flood the opaque shape from its first pixel and the transparent rest from outside.
    const auto flood = [&](std::vector<std::pair<int, int>> todo, bool wantOpaque) {
      std::set<std::pair<int, int>> seen;
      while (!todo.empty()) {
        const auto [c, r] = todo.back();
        todo.pop_back();
        if (c < 0 || r < 0 || c >= image.size || r >= image.size || opaque(c, r) != wantOpaque ||
            seen.contains({c, r}))
          continue;
        seen.insert({c, r});
        todo.insert(todo.end(), {{c + 1, r}, {c - 1, r}, {c, r + 1}, {c, r - 1}});
      }
      return seen.size();
    };
    std::vector<std::pair<int, int>> border;
    for (int i = 0; i < image.size; ++i) {
      border.insert(border.end(), {{i, 0}, {i, image.size - 1}, {0, i}, {image.size - 1, i}});
    }
    const int total = image.size * image.size;
    EXPECT_EQ(static_cast<int>(flood({first}, true)), opaqueCount)
        << image.size << " px: the shape falls apart";
    EXPECT_EQ(static_cast<int>(flood(border, false)), total - opaqueCount)
        << image.size << " px: a transparent hole inside the shape";
  }
}

// The arrow is mirror-symmetric, stands above the box and its tip reaches the box's top.
TEST(IconPictureTest, TheArrowPointsDownIntoTheBox) {
  for (const IconImage& image : LoadIcon()) {
    int arrowTop = image.size, arrowBottom = -1, boxTop = image.size;
    for (int r = 0; r < image.size; ++r) {
      for (int c = 0; c < image.size; ++c) {
        const Rgba& p = image.At(c, r);
        EXPECT_EQ(IsArrow(p), IsArrow(image.At(image.size - 1 - c, r)))
            << image.size << " px: the arrow is lopsided at " << c << ", " << r;
        if (IsArrow(p)) {
          arrowTop = std::min(arrowTop, r);
          arrowBottom = std::max(arrowBottom, r);
        } else if (p.alpha != 0) {
          boxTop = std::min(boxTop, r);
        }
      }
    }
    ASSERT_GE(arrowBottom, 0) << image.size << " px: no arrow";
    EXPECT_LE(arrowTop, 2) << image.size << " px: the arrow starts at the top";
    EXPECT_GE(arrowBottom, boxTop) << image.size << " px: the tip stops short of the box";
    EXPECT_GE(boxTop, image.size / 2) << image.size << " px: the box is the lower half";
    // The tip is the arrow's narrowest row: at most two pixels wide.
    int tipWidth = 0;
    for (int c = 0; c < image.size; ++c) tipWidth += IsArrow(image.At(c, arrowBottom)) ? 1 : 0;
    EXPECT_LE(tipWidth, 2) << image.size << " px";
  }
}

}  // namespace
