// Inputs for the fuzz target: a few valid payloads built by the archive writer, and a fixed set
// of mutations of them (bit flips, truncations, edited length fields, spliced entries).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zarvo::fuzz {

struct FuzzInput {
  std::string label;  // what was done to which seed, to name a failing input
  std::vector<std::uint8_t> bytes;
};

// Valid payloads: a sample-like product with its manifest, odd names and sizes, incompressible
// and multi-block entries, and the empty archive.
std::vector<FuzzInput> SeedArchives();

// The same mutations on every run, a few thousand in all.
std::vector<FuzzInput> MutatedArchives();

}  // namespace zarvo::fuzz
