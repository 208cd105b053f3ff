#include "platform/win32/win32_accessible.h"

#include <oleacc.h>

#include <string>

#include "platform/win32/system_library.h"

namespace lanthorn {

namespace {

// The COM and accessibility entry points the answers need, from libraries
// loaded on the first question rather than imported: a reader with no
// assistive technology never asks, and loading them before the window made
// start-up slower.
struct AccessibilityLibraries {
  decltype(&OleInitialize) oleInitialize = nullptr;
  decltype(&SysAllocStringLen) allocString = nullptr;
  decltype(&CreateStdAccessibleObject) createStandard = nullptr;
  decltype(&LresultFromObject) resultFromObject = nullptr;
  bool complete() const {
    return oleInitialize != nullptr && allocString != nullptr && createStandard != nullptr &&
           resultFromObject != nullptr;
  }
};

const AccessibilityLibraries& Libraries() {
  static const AccessibilityLibraries libraries = [] {
    AccessibilityLibraries found;
    found.oleInitialize =
        LibraryEntry<decltype(&OleInitialize)>(LoadSystemLibrary("ole32.dll"), "OleInitialize");
    found.allocString = LibraryEntry<decltype(&SysAllocStringLen)>(
        LoadSystemLibrary("oleaut32.dll"), "SysAllocStringLen");
    HMODULE oleacc = LoadSystemLibrary("oleacc.dll");
    found.createStandard =
        LibraryEntry<decltype(&CreateStdAccessibleObject)>(oleacc, "CreateStdAccessibleObject");
    found.resultFromObject =
        LibraryEntry<decltype(&LresultFromObject)>(oleacc, "LresultFromObject");
    return found;
  }();
  return libraries;
}

BSTR ToBstr(const std::string& text) {
  const int count =
      MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  BSTR out = Libraries().allocString(nullptr, static_cast<UINT>(count));
  if (out != nullptr) {
    MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), out, count);
  }
  return out;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The standard accessible object of a window, with its name and value
// replaced; everything else is passed to the standard object. Where the
// system makes no standard object, the window's role, state and place are
// given here.
class NamedAccessible : public IAccessible {
 public:
  NamedAccessible(HWND window, IAccessible* standard, const char* name, const char* value)
      : window_(window),
        standard_(standard),
        name_(name),
        hasValue_(value != nullptr),
        value_(value ? value : "") {}
  virtual ~NamedAccessible() {
    if (standard_ != nullptr) standard_->Release();
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDispatch) ||
        IsEqualIID(id, IID_IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&count_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&count_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return standard_ == nullptr ? E_NOTIMPL
                                : standard_->GetIDsOfNames(id, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument) override {
    return standard_ == nullptr
               ? E_NOTIMPL
               : standard_->Invoke(member, id, locale, flags, params, result, exception, argument);
  }

  // IAccessible: the name and value of the object itself are ours.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!IsSelf(child))
      return standard_ == nullptr ? E_NOTIMPL : standard_->get_accName(child, name);
    if (name == nullptr) return E_POINTER;
    *name = ToBstr(name_);
    return *name != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (!IsSelf(child) || !hasValue_)
      return standard_ == nullptr ? E_NOTIMPL : standard_->get_accValue(child, value);
    if (value == nullptr) return E_POINTER;
    *value = ToBstr(value_);
    return *value != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->get_accChild(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->get_accDescription(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
    if (standard_ != nullptr) return standard_->get_accRole(child, out);
    if (!IsSelf(child) || out == nullptr) return E_INVALIDARG;
    char className[16] = "";
    GetClassNameA(window_, className, sizeof className);
    out->vt = VT_I4;
    out->lVal = lstrcmpiA(className, "button") == 0 ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_CLIENT;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
    if (standard_ != nullptr) return standard_->get_accState(child, out);
    if (!IsSelf(child) || out == nullptr) return E_INVALIDARG;
    LONG state = STATE_SYSTEM_FOCUSABLE;
    if (!IsWindowVisible(window_)) state |= STATE_SYSTEM_INVISIBLE;
    if (!IsWindowEnabled(window_)) state |= STATE_SYSTEM_UNAVAILABLE;
    if (GetFocus() == window_) state |= STATE_SYSTEM_FOCUSED;
    out->vt = VT_I4;
    out->lVal = state;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->get_accHelp(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->get_accKeyboardShortcut(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->get_accFocus(out);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->get_accSelection(out);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->get_accDefaultAction(child, out);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    if (standard_ != nullptr) return standard_->accLocation(left, top, width, height, child);
    RECT r{};
    if (!IsSelf(child) || !GetWindowRect(window_, &r)) return E_INVALIDARG;
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* out) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->accHitTest(x, y, out);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return standard_ == nullptr ? E_NOTIMPL : standard_->put_accValue(child, value);
  }

 private:
  LONG count_ = 1;
  HWND window_;
  IAccessible* standard_;  // null where the system makes none
  std::string name_;
  bool hasValue_;
  std::string value_;
};

}  // namespace

IAccessible* MakeNamedAccessible(HWND window, const char* name, const char* value) {
  const AccessibilityLibraries& libraries = Libraries();
  if (!libraries.complete()) return nullptr;
  IAccessible* standard = nullptr;
  if (FAILED(libraries.createStandard(window, OBJID_CLIENT, IID_IAccessible,
                                      reinterpret_cast<void**>(&standard)))) {
    standard = nullptr;
  }
  return new NamedAccessible(window, standard, name, value);
}

LRESULT AnswerWithName(HWND window, WPARAM flags, const char* name, const char* value) {
  // COM is started on the first question, on the window's own thread, not
  // at start-up: starting it brings up the system's COM service, which made
  // start-up about a third slower, and a reader with no assistive technology
  // never asks.
  const AccessibilityLibraries& libraries = Libraries();
  if (!libraries.complete()) return 0;
  static const bool comStarted = SUCCEEDED(libraries.oleInitialize(nullptr));
  if (!comStarted) return 0;
  IAccessible* named = MakeNamedAccessible(window, name, value);
  if (named == nullptr) return 0;
  // (Where IAccessible cannot be marshalled, as under Wine, this fails and
  // the default handling answers with the standard object.)
  const LRESULT answer = libraries.resultFromObject(IID_IAccessible, flags, named);
  named->Release();
  return answer < 0 ? 0 : answer;
}

}  // namespace lanthorn
