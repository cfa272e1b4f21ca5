// The libFuzzer entry (clang -fsanitize=fuzzer), over the same entry point as the driver.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/ArchiveFuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zarvo::fuzz::FuzzArchive({data, size});
  return 0;
}
