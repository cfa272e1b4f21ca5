// The program's bitmap pictures: the check box's boxes and marks and the browse button's
// open-folder glyph, each drawn from a character grid.
#pragma once

#include <string>
#include <vector>

#include "tools/BmpFile.h"

namespace zarvo::pictures {

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kGray{128, 128, 128};
inline constexpr Rgb kLightGray{192, 192, 192};
inline constexpr Rgb kSilver = kLightGray;
inline constexpr Rgb kMagenta{255, 0, 255};
inline constexpr Rgb kYellow{255, 255, 0};
inline constexpr Rgb kDarkYellow{128, 128, 0};

// The resource name of the browse button's picture.
inline constexpr const char* kFolderPictureName = "SB2FOLDER";

struct Picture {
  std::string name;  // resource name, upper case; the file is name + ".bmp"
  Bitmap bitmap;
};

// The 16 colours of the standard VGA palette, black first and white last.
std::vector<Rgb> StandardPalette16();
// The 16 standard colours, a 6 x 6 x 6 colour cube and 24 grays.
std::vector<Rgb> Palette256();

// Every picture, in the order of the resource script.
std::vector<Picture> DrawPictures();

// One `NAME BITMAP "NAME.bmp"` line a picture; the file names are relative to the script.
std::string ResourceScript(const std::vector<Picture>& pictures);

}  // namespace zarvo::pictures
