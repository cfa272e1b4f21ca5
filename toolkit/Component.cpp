// Ownership and names of components.
#include "toolkit/Component.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "platform/Text.h"

namespace zarvo::toolkit {

void ThrowComponentError(std::wstring_view name, std::wstring_view problem) {
  throw std::runtime_error(platform::ToUtf8(std::wstring(problem) + L": \"" + std::wstring(name) + L"\""));
}

TComponent::TComponent(TComponent* AOwner) : FOwner(AOwner) {
  if (FOwner) FOwner->FComponents.push_back(this);
}

TComponent::~TComponent() {
  BeginDestruction();
  DestroyComponents();
  for (TComponent* component : FComponents) component->FOwner = nullptr;
  if (FOwner) std::erase(FOwner->FComponents, this);
}

void TComponent::DestroyComponents() {
  while (!FOwned.empty()) {
    // Moved out first so that the destructor sees a consistent owner.
    std::unique_ptr<TComponent> last = std::move(FOwned.back());
    FOwned.pop_back();
    last->BeginDestruction();
    last.reset();
  }
}

void TComponent::DestroyComponent(TComponent* component) {
  auto found = std::find_if(FOwned.begin(), FOwned.end(),
                            [component](const std::unique_ptr<TComponent>& owned) { return owned.get() == component; });
  if (found == FOwned.end()) return;
  std::unique_ptr<TComponent> owned = std::move(*found);
  FOwned.erase(found);
  owned->BeginDestruction();
  owned.reset();
}

void TComponent::SetName(std::wstring_view name) {
  if (name == FName) return;
  if (FOwner && !name.empty() && FOwner->FindComponent(name))
    ThrowComponentError(name, L"duplicate component name");
  FName = name;
}

TComponent* TComponent::FindComponent(std::wstring_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* component : FComponents) {
    if (component->FName.size() == name.size() &&
        ::CompareStringOrdinal(component->FName.data(), static_cast<int>(name.size()), name.data(),
                               static_cast<int>(name.size()), TRUE) == CSTR_EQUAL)
      return component;
  }
  return nullptr;
}

void TComponent::InsertComponent(std::unique_ptr<TComponent> component) {
  if (!component || component->FOwner != this)
    throw std::logic_error("InsertComponent: the component was made for another owner");
  FOwned.push_back(std::move(component));
}

}  // namespace zarvo::toolkit
