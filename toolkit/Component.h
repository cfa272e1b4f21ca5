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

template <class T>
class TWeakRef;

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

  // True from the moment the component's destruction begins: its owner's DestroyComponent, or
  // the first destructor of the toolkit's classes to run.
  bool Destroying() const { return !FAlive; }

  // True from the start of loading a description until Loaded has run.
  bool Loading() const { return FLoading; }
  void BeginLoading() { FLoading = true; }
  // Runs once a stored description has been applied to the component; ends Loading.
  virtual void Loaded() { FLoading = false; }

  int Tag = 0;

protected:
  // Each destructor of the toolkit's classes calls it first: from here on the component's own
  // parts are going, the most derived first.
  void BeginDestruction() { FAlive.reset(); }

private:
  template <class T>
  friend class TWeakRef;

  // Shared with nobody: its weak references expire when the destruction begins.
  std::shared_ptr<const bool> FAlive = std::make_shared<const bool>(true);
  TComponent* FOwner;
  std::wstring FName;
  std::vector<TComponent*> FComponents;
  std::vector<std::unique_ptr<TComponent>> FOwned;
  bool FLoading = false;
};

// A reference across a call that may destroy the component (an event handler, a notification a
// descendant handles): it turns null when the component's destruction begins after it was taken.
// Toolkit code touches the component after such a call only while the reference holds. One taken
// while the component is already being destroyed (in code its destructor runs) holds: that
// destructor is further up the stack. Not for keeping: it does not keep the component.
template <class T>
class TWeakRef {
public:
  TWeakRef() = default;
  explicit TWeakRef(T* component) : FComponent(component) {
    if (!component) return;
    FAlive = component->FAlive;
    FTakenDuringDestruction = component->Destroying();
  }
  T* Get() const { return FTakenDuringDestruction || !FAlive.expired() ? FComponent : nullptr; }
  explicit operator bool() const { return Get() != nullptr; }

private:
  T* FComponent = nullptr;
  std::weak_ptr<const bool> FAlive;
  bool FTakenDuringDestruction = false;
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
