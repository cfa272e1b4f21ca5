// The setup window's bounds as its layout predicts them, at the design's 120 pixels per inch and
// scaled to 96, for the tests of the toolkit's loader and of the window itself.
#pragma once

#include <vector>

namespace zarvo::testing {

struct Box {
  int Left, Top, Width, Height;
};

struct ExpectedBounds {
  const wchar_t* Name;
  Box At120;
  Box At96;
};

// At 120 the design itself; at 96 each design number is scaled by 4/5 (rounded) and the docked
// controls are laid out again from the scaled sizes.
inline const std::vector<ExpectedBounds> SetupBounds = {
    {L"Link1", {0, 0, 550, 30}, {0, 0, 440, 24}},
    {L"Bevel2", {0, 30, 550, 1}, {0, 24, 440, 1}},
    {L"GP", {0, 31, 550, 268}, {0, 25, 440, 214}},
    {L"Bevel3", {0, 235, 550, 3}, {0, 188, 440, 2}},
    {L"Bevel1", {0, 119, 550, 2}, {0, 95, 440, 2}},
    {L"Panel1", {0, 238, 550, 30}, {0, 190, 440, 24}},
    {L"SB1", {412, 0, 138, 30}, {330, 0, 110, 24}},
    {L"cbLang", {5, 2, 186, 24}, {4, 2, 149, 19}},
    {L"Panel6", {0, 121, 550, 114}, {0, 97, 440, 91}},
    {L"Label7", {0, 0, 550, 21}, {0, 0, 440, 17}},
    {L"cbDesktop", {30, 32, 492, 23}, {24, 26, 394, 18}},
    {L"cbStart", {30, 57, 492, 23}, {24, 46, 394, 18}},
    {L"cbForce", {30, 82, 492, 24}, {24, 66, 394, 19}},
    {L"Panel4", {0, 0, 550, 119}, {0, 0, 440, 95}},
    {L"Label3", {0, 0, 550, 21}, {0, 0, 440, 17}},
    {L"Label4", {0, 65, 550, 54}, {0, 52, 440, 43}},
    {L"SB2", {494, 30, 29, 28}, {395, 24, 23, 22}},
    {L"Edit1", {30, 32, 459, 24}, {24, 26, 367, 19}},
    {L"Panel3", {62, 113, 423, 104}, {50, 90, 338, 83}},
    {L"Label13", {7, 7, 409, 38}, {6, 6, 326, 30}},
    {L"Label1", {7, 45, 409, 23}, {6, 36, 326, 18}},
    {L"PB", {7, 68, 409, 29}, {6, 54, 326, 23}},
};

}  // namespace zarvo::testing
