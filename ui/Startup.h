// What the setup window's creation asks of the program's start-up. The program entry hands the
// real one (the command line, the lock file, the registry); tests hand their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zarvo::ui {

class TStartup {
public:
  virtual ~TStartup() = default;
  // The command line's arguments after the program's own name, as the system splits them.
  virtual std::vector<std::wstring> Arguments() const = 0;
  // Takes the single-instance lock: one attempt, or up to 61 half a second apart in update
  // mode. When it cannot, it hands over to the running setup and ends the program: it does not
  // return then.
  virtual void TakeLock(bool updateMode) = 0;
  // The thread's locale for the rest of the run (Russian).
  virtual void SetThreadLocale() = 0;
  // The system's OEM code page; 0 when it cannot be read.
  virtual std::uint16_t ReadOemCodePage() = 0;
};

}  // namespace zarvo::ui
