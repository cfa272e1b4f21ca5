// The toolkit's own window messages: one range, 0xB000 to 0xB0FF, each with a name for logs.
//
// Notifications are sent with Perform (never posted) to a windowed or windowless control and
// dispatched by TControl::WndProc to a virtual handler of the same name. A handler that takes a
// key or a character sets the message's Result to a non-zero value.
#pragma once

#include <windows.h>

#include <string>

namespace zarvo::toolkit {

enum : UINT {
  TM_FIRST = 0xB000,
  TM_MOUSEENTER = 0xB001,          // the mouse came over the control
  TM_MOUSELEAVE = 0xB002,          // the mouse left the control
  TM_ENABLEDCHANGED = 0xB003,      // Enabled changed
  TM_VISIBLECHANGED = 0xB004,      // Visible changed
  TM_DIALOGKEY = 0xB005,           // wParam: virtual key, lParam: key data; Result != 0 takes it
  TM_DIALOGCHAR = 0xB006,          // wParam: character, lParam: key data; Result != 0 takes it
  TM_FONTCHANGED = 0xB007,         // Font changed
  TM_TEXTCHANGED = 0xB008,         // Caption / Text changed
  TM_COLORCHANGED = 0xB009,        // Color changed
  TM_PARENTCOLORCHANGED = 0xB00A,  // the parent's Color changed
  TM_PARENTFONTCHANGED = 0xB00B,   // the parent's Font changed
  TM_WANTSPECIALKEY = 0xB00C,      // wParam: virtual key; Result != 0 keeps Tab/Enter/Escape
  TM_KEYPREVIEW = 0xB00D,          // message loop, before translation: wParam/lParam of the key
                                   // down; Result != 0 means the key was taken by routing
  TM_COMMAND = 0xB00E,             // WM_COMMAND reflected to the child that sent it
  TM_CTLCOLOR = 0xB00F,            // WM_CTLCOLOR* reflected: wParam HDC, lParam the WM_ message;
                                   // Result is the brush
  TM_LAST = 0xB0FF,
};

// WM_USER + 3: the message a second setup start posts to the running window.
inline constexpr UINT WM_SETUP_ACTIVATE = WM_USER + 3;

// "TM_DIALOGKEY", "WM_PAINT", or the number in hex for messages it does not know.
std::wstring MessageName(UINT message);

}  // namespace zarvo::toolkit
