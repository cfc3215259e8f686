// The in-process server: class factory of CLSID_CUIAutomation and the DLL's exports.
#include <windows.h>

#include <uiautomationclient.h>

#include <atomic>

#include "com_object.h"
#include "objects.h"

namespace vantro::test_support::uia_standin {

std::atomic<long>& live_objects() {
  static std::atomic<long> count{0};
  return count;
}

namespace {

std::atomic<long> server_locks{0};

// Class factories are not counted among the live objects that tests check.
std::atomic<long>& live_factories() {
  static std::atomic<long> count{0};
  return count;
}

class AutomationFactory final : public ComObject<IClassFactory, IClassFactory, live_factories> {
 public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    IUIAutomation* automation = make_automation();
    const HRESULT hr = automation->QueryInterface(iid, out);
    automation->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      server_locks.fetch_add(1);
    } else {
      server_locks.fetch_sub(1);
    }
    return S_OK;
  }
};

}  // namespace
}  // namespace vantro::test_support::uia_standin

using namespace vantro::test_support::uia_standin;

extern "C" {

HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, __uuidof(CUIAutomation))) return CLASS_E_CLASSNOTAVAILABLE;
  auto* factory = new AutomationFactory();
  const HRESULT hr = factory->QueryInterface(iid, out);
  factory->Release();
  return hr;
}

HRESULT __stdcall DllCanUnloadNow() {
  return live_objects().load() == 0 && live_factories().load() == 0 && server_locks.load() == 0 ? S_OK
                                                                                                : S_FALSE;
}

long __stdcall uia_standin_live_objects() {
  return live_objects().load();
}

}  // extern "C"
