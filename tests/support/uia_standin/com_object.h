// Reference counting and QueryInterface for the stand-in's objects, and the count of live
// objects that tests read through the DLL's export.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include <atomic>

namespace vantro::test_support::uia_standin {

// Objects of the stand-in that exist now (elements, walkers, patterns, the automation object).
std::atomic<long>& live_objects();

// Base is the interface itself or one of the E_NOTIMPL stub classes deriving from Interface;
// Count is the counter the object is counted in while it lives.
template <class Base, class Interface, std::atomic<long>& (*Count)() = live_objects>
class ComObject : public Base {
 public:
  ComObject() { Count().fetch_add(1); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;
  virtual ~ComObject() { Count().fetch_sub(1); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(Interface))) {
      *out = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(references_.fetch_add(1) + 1); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = references_.fetch_sub(1) - 1;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

 private:
  std::atomic<long> references_{1};
};

}  // namespace vantro::test_support::uia_standin
