// The out-of-line parts of the owners.
#include "platform/Handles.h"

#include <objbase.h>

namespace zarvo::platform {

ComApartment::ComApartment() {
  // S_FALSE (already initialised on this thread) also wants its CoUninitialize.
  FInitialized = SUCCEEDED(::CoInitialize(nullptr));
}

ComApartment::~ComApartment() {
  if (FInitialized) ::CoUninitialize();
}

}  // namespace zarvo::platform
