// The process-wide values the setup shares between its start-up, its window and its install run.
#pragma once

#include <cstdint>
#include <string>

namespace zarvo::ui {

// This build's edition letter, fixed at program entry; matched against the manifest's letters.
inline char16_t Edition = 0;
// The system's OEM code page as start-up read it; 0 when it could not be read.
inline std::uint16_t OemCodePage = 0;
// The product's web site, opened by the link at the top of the window.
inline std::wstring SiteUrl;
// The Russian texts are shown.
inline bool IsRussian = false;
// The install run has finished: the main button now closes the window.
inline bool Installed = false;

}  // namespace zarvo::ui
