// Value types shared by the whole toolkit: colours, enumerations, flag sets, the message record
// and the event signatures.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>

namespace zarvo::toolkit {

class TObject;

// An RGB colour 0x00BBGGRR, or a system colour 0xFF000000 + its COLOR_ index.
using TColor = std::uint32_t;

inline constexpr TColor clSystemColor = 0xFF000000;
inline constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
inline constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
inline constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
inline constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
inline constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
inline constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
inline constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
inline constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
inline constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
inline constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
inline constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
inline constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
inline constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
inline constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clWhite = 0xFFFFFF;

// The RGB value of a colour, system colours resolved through GetSysColor.
COLORREF ColorToRGB(TColor color);
// "clBtnFace" -> clBtnFace; false for a name it does not know.
bool ColorFromName(std::wstring_view name, TColor& color);

// A mouse cursor: crDefault leaves the choice to the window under the pointer.
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crArrow = -1;
inline constexpr TCursor crIBeam = -2;
inline constexpr TCursor crHourGlass = -3;
inline constexpr TCursor crHandPoint = -21;

enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };
enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
enum TBrushStyle : std::uint8_t { bsSolid, bsClear };
enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psClear };
enum TButtonState : std::uint8_t { bsUp, bsDisabled, bsDown, bsExclusive };
enum TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised };
enum TBevelShape : std::uint8_t { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle : std::uint8_t { bsLowered, bsRaised };
enum TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog };
enum TPosition : std::uint8_t { poDesigned, poScreenCenter };
enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

// Flag sets, combined with |.
using TShiftState = unsigned;
enum : TShiftState { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };

using TFontStyles = unsigned;
enum : TFontStyles { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

using TControlStyle = unsigned;
enum : TControlStyle {
  csAcceptsControls = 1,  // may be the parent of other controls in a description
  csCaptureMouse = 2,     // a left press captures the mouse until it is released
  csClickEvents = 4,      // a press and release over the control is a click
  csOpaque = 8,           // paints its whole rectangle: the parent need not erase under it
  csDoubleClicks = 16,    // gets double clicks as such
  csReplicatable = 32,    // can be painted onto another canvas (PaintTo)
  csSetCaption = 64,      // a description's name becomes the caption while it has none
};

using TBorderIcons = unsigned;
enum : TBorderIcons { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = IDOK;
inline constexpr TModalResult mrCancel = IDCANCEL;

// One window message with its result, as the window procedure and Perform carry it.
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// The shift state of a mouse message's wParam / of the keyboard now.
TShiftState ShiftStateFromMouse(WPARAM keys);
TShiftState ShiftStateFromKeyboard();

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TMessageHandler = std::function<void(TMessage& Message)>;

// Calls an event's handler through a copy: a handler that destroys its control, and the event
// field with it, keeps its own captures until it returns.
template <class Event, class... Args>
void CallEvent(const Event& event, Args&&... args) {
  if (!event) return;
  Event handler = event;
  handler(std::forward<Args>(args)...);
}

}  // namespace zarvo::toolkit
