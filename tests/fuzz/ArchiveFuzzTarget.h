// The one fuzz entry point over the payload reader, shared by the libFuzzer target and the
// deterministic mutation driver.
#pragma once

#include <cstdint>
#include <span>

namespace zarvo::fuzz {

// Reads bytes as a payload the way the setup does: the directory, every entry looked up and
// extracted, then the manifest from "list" cut into lines and put through the selection.
// Errors the core documents are expected; anything else, or a broken invariant, aborts.
void FuzzArchive(std::span<const std::uint8_t> bytes);

}  // namespace zarvo::fuzz
