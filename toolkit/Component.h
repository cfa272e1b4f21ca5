// TObject and TComponent: class names, ownership by an owner component, names, loading.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zarvo::toolkit {

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
  // The class's own name: "TLabel", "TZarSetup". A form's is also its window class name.
  virtual std::wstring_view ClassName() const { return L"TObject"; }
};

// A component knows its owner; the owner destroys the components handed to it (Make), newest
// first, and finds any of its components by name.
class TComponent : public TObject {
public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  std::wstring_view ClassName() const override { return L"TComponent"; }

  TComponent* Owner() const { return FOwner; }
  const std::wstring& Name() const { return FName; }
  // Names are unique among the components of one owner; a clash throws.
  void SetName(std::wstring_view name);

  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const { return FComponents.at(static_cast<size_t>(index)); }
  TComponent* FindComponent(std::wstring_view name) const;
  // The component named `name` as a T; throws when there is none or it is another class.
  template <class T>
  T& Component(std::wstring_view name) const;

  // Takes ownership of a component made with this one as its owner.
  void InsertComponent(std::unique_ptr<TComponent> component);
  // Destroys every owned component, newest first.
  void DestroyComponents();
  // Destroys one owned component now; one this component does not own is left alone.
  void DestroyComponent(TComponent* component);

  // True from the start of loading a description until Loaded has run.
  bool Loading() const { return FLoading; }
  void BeginLoading() { FLoading = true; }
  // Runs once a stored description has been applied to the component; ends Loading.
  virtual void Loaded() { FLoading = false; }

  int Tag = 0;

private:
  TComponent* FOwner;
  std::wstring FName;
  std::vector<TComponent*> FComponents;
  std::vector<std::unique_ptr<TComponent>> FOwned;
  bool FLoading = false;
};

// Makes a T owned by `owner` and returns it.
template <class T, class... Args>
T* Make(TComponent* owner, Args&&... args) {
  auto component = std::make_unique<T>(owner, std::forward<Args>(args)...);
  T* result = component.get();
  owner->InsertComponent(std::move(component));
  return result;
}

void ThrowComponentError(std::wstring_view name, std::wstring_view problem);

template <class T>
T& TComponent::Component(std::wstring_view name) const {
  TComponent* found = FindComponent(name);
  if (!found) ThrowComponentError(name, L"no such component");
  T* typed = dynamic_cast<T*>(found);
  if (!typed) ThrowComponentError(name, L"component of another class");
  return *typed;
}

}  // namespace zarvo::toolkit
