// The program's pictures: the check box's boxes and marks and the browse button's open-folder
// glyph as bitmaps, and the program's icon, each drawn from character grids.
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

// The resource name of the program's icon; its file is this name + ".ico".
inline constexpr const char* kProgramIconName = "MAINICON";

// The program's icon colours (Rgba, opaque); the legend in Pictures.cpp names them.
inline constexpr Rgba kIconOutline{74, 48, 20, 255};
inline constexpr Rgba kIconHighlight{250, 226, 178, 255};
inline constexpr Rgba kIconLid{242, 205, 140, 255};
inline constexpr Rgba kIconFront{222, 170, 96, 255};
inline constexpr Rgba kIconTape{190, 138, 66, 255};
inline constexpr Rgba kIconShade{196, 144, 72, 255};
inline constexpr Rgba kIconArrowEdge{18, 82, 150, 255};
inline constexpr Rgba kIconArrow{44, 132, 220, 255};
inline constexpr Rgba kIconTransparent{0, 0, 0, 0};

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

// The program's icon: a box with an arrow going into it, 16, 32 and 48 pixels, in that order.
std::vector<IconImage> DrawProgramIcon();

// One `NAME BITMAP "NAME.bmp"` line a picture; the file names are relative to the script. The
// icon is named by the setup's own resource script.
std::string ResourceScript(const std::vector<Picture>& pictures);

}  // namespace zarvo::pictures
