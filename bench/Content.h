// Deterministic benchmark content: text that compresses about 2.5:1, and bytes that do not
// compress, the same in every run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/Sequence.h"

namespace zarvo::bench {

using Bytes = std::vector<std::uint8_t>;

// Text of pseudo-random words from a vocabulary of 8192, in lines.
class WordSource {
 public:
  WordSource() {
    testing::Sequence random(42);
    for (int i = 0; i < 8192; ++i) {
      std::string word;
      const std::size_t length = 2 + random.Next() % 9;
      for (std::size_t c = 0; c < length; ++c) word += static_cast<char>('a' + random.Next() % 26);
      words_.push_back(word);
    }
  }

  Bytes Text(std::size_t length, std::uint64_t seed) const {
    testing::Sequence random(seed);
    Bytes text;
    text.reserve(length + 16);
    std::size_t lineStart = 0;
    while (text.size() < length) {
      const std::string& word = words_[random.Next() % words_.size()];
      text.insert(text.end(), word.begin(), word.end());
      if (text.size() - lineStart > 60 + random.Next() % 40) {
        text.push_back('\r');
        text.push_back('\n');
        lineStart = text.size();
      } else {
        text.push_back(' ');
      }
    }
    text.resize(length);
    return text;
  }

 private:
  std::vector<std::string> words_;
};

// Pseudo-random bytes: zlib cannot shrink them, as with images and packed programs.
inline Bytes RandomBytes(std::size_t length, std::uint64_t seed) {
  testing::Sequence random(seed);
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; i += 8) {
    std::uint64_t value = random.Next();
    for (std::size_t b = i; b < length && b < i + 8; ++b, value >>= 8)
      bytes[b] = static_cast<std::uint8_t>(value);
  }
  return bytes;
}

}  // namespace zarvo::bench
