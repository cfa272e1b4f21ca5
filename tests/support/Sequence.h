// splitmix64: a fixed pseudo-random sequence, so that generated test and benchmark data are the
// same in every run.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zarvo::testing {

class Sequence {
 public:
  explicit Sequence(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t limit) { return limit == 0 ? 0 : Next() % limit; }

 private:
  std::uint64_t state_;
};

}  // namespace zarvo::testing
