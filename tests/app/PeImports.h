// The DLLs a Windows program imports, read from its file: a small PE reader for the import
// checks, so that they need no objdump.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace zarvo::testing {

struct PeImports {
  std::uint16_t machine = 0;         // IMAGE_FILE_MACHINE_I386 0x14C, _AMD64 0x8664
  std::vector<std::string> dlls;     // the import directory's, in file order
  std::vector<std::string> delayed;  // the delay-load directory's
};

class PeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws PeError naming the fault when the bytes are no PE file or a directory leaves them.
PeImports ReadPeImports(std::span<const std::uint8_t> file);

}  // namespace zarvo::testing
