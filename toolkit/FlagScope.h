// A flag that is set for the length of a scope and cleared when it ends, also by an exception.
#pragma once

namespace zarvo::toolkit {

class FlagScope {
public:
  explicit FlagScope(bool& flag) : FFlag(flag) { FFlag = true; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;
  ~FlagScope() { FFlag = false; }

private:
  bool& FFlag;
};

}  // namespace zarvo::toolkit
