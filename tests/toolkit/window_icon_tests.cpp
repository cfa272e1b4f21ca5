// Top-level windows show the program's icon: a form's class takes the module's "MAINICON"
// (this test program carries the program's icon) as the system's large and small icon, each the
// icon's own image of that size; child controls' classes take none.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/toolkit/Support.h"
#include "toolkit/Panel.h"

namespace zarvo::toolkit {
namespace {

// The 32-bit BGRA pixels of an icon as drawn, top row first, and its side.
struct IconPixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

IconPixels PixelsOf(HICON icon) {
  IconPixels result;
  ICONINFO info{};
  if (!::GetIconInfo(icon, &info)) return result;
  BITMAP bitmap{};
  ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
  result.width = bitmap.bmWidth;
  result.height = bitmap.bmHeight;
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof(format.bmiHeader);
  format.bmiHeader.biWidth = bitmap.bmWidth;
  format.bmiHeader.biHeight = -bitmap.bmHeight;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  result.pixels.resize(static_cast<std::size_t>(bitmap.bmWidth) * bitmap.bmHeight);
  HDC screen = ::GetDC(nullptr);
  ::GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(bitmap.bmHeight), result.pixels.data(),
              &format, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
  return result;
}

// The module's icon image of exactly `size` pixels, as its RT_ICON resource stores it.
IconPixels ResourceImage(int size) {
  IconPixels result;
  HMODULE module = ::GetModuleHandleW(nullptr);
  HRSRC group = ::FindResourceW(module, L"MAINICON", RT_GROUP_ICON);
  if (!group) return result;
  auto* directory = static_cast<BYTE*>(::LockResource(::LoadResource(module, group)));
  const int id = ::LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
  HRSRC image = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_ICON);
  if (!image) return result;
  const auto* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(module, image)));
  BITMAPINFOHEADER header;
  std::memcpy(&header, bytes, sizeof(header));
  result.width = header.biWidth;
  result.height = header.biHeight / 2;
  if (result.width != size || header.biBitCount != 32) return result;
  result.pixels.resize(static_cast<std::size_t>(size) * size);
  // Rows are stored bottom-up.
  for (int row = 0; row < size; ++row) {
    std::memcpy(&result.pixels[static_cast<std::size_t>(row) * size],
                bytes + sizeof(header) + static_cast<std::size_t>(size - 1 - row) * size * 4,
                static_cast<std::size_t>(size) * 4);
  }
  return result;
}

TEST(WindowIcon, AFormsClassShowsTheModulesIconImageOfTheSystemsSizes) {
  auto form = testing::MakeTestForm();
  HWND window = form->Handle();
  const struct {
    const char* name;
    int index;
    int metric;
  } cases[] = {{"large", GCLP_HICON, SM_CXICON}, {"small", GCLP_HICONSM, SM_CXSMICON}};
  for (const auto& c : cases) {
    const auto icon = reinterpret_cast<HICON>(::GetClassLongPtrW(window, c.index));
    ASSERT_NE(icon, nullptr) << c.name;
    const int size = ::GetSystemMetrics(c.metric);
    const IconPixels shown = PixelsOf(icon);
    EXPECT_EQ(shown.width, size) << c.name;
    EXPECT_EQ(shown.height, size) << c.name;
    // Drawn from the icon's own image of that size, not scaled from another.
    const IconPixels stored = ResourceImage(size);
    ASSERT_EQ(stored.width, size) << c.name << ": the icon has no " << size << "-pixel image";
    EXPECT_TRUE(shown.pixels == stored.pixels) << c.name;
  }
  Application().SetMainForm(nullptr);
}

TEST(WindowIcon, ChildControlsClassesHaveNone) {
  auto form = testing::MakeTestForm();
  TPanel panel(nullptr);
  panel.SetParent(form.get());
  EXPECT_EQ(::GetClassLongPtrW(panel.Handle(), GCLP_HICON), 0);
  EXPECT_EQ(::GetClassLongPtrW(panel.Handle(), GCLP_HICONSM), 0);
  panel.SetParent(nullptr);
  Application().SetMainForm(nullptr);
}

}  // namespace
}  // namespace zarvo::toolkit
