// A flag that is set for the length of a scope and cleared when it ends, also by an exception.
#pragma once

#include "toolkit/Component.h"

namespace zarvo::toolkit {

class FlagScope {
public:
  explicit FlagScope(bool& flag) : FFlag(flag) { FFlag = true; }
  // A flag of `holder`, which code in the scope may destroy: then the flag is left alone.
  FlagScope(bool& flag, TComponent* holder) : FFlag(flag), FHolder(holder), FWatched(true) { FFlag = true; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;
  ~FlagScope() {
    if (!FWatched || FHolder) FFlag = false;
  }

private:
  bool& FFlag;
  TWeakRef<TComponent> FHolder;
  bool FWatched = false;
};

}  // namespace zarvo::toolkit
