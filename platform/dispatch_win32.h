// IDispatch made short to call: self-clearing VARIANTs, self-releasing
// object references, and calls by dispatch identifier that report failure
// by their result. Used by the spreadsheet automation.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace platform {

// A VARIANT that clears itself.
struct Variant {
  VARIANT v;
  Variant() { VariantInit(&v); }
  ~Variant() { VariantClear(&v); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  static void integer(VARIANT& out, int n) {
    VariantInit(&out);
    out.vt = VT_I4;
    out.lVal = n;
  }
  static void boolean(VARIANT& out, bool b) {
    VariantInit(&out);
    out.vt = VT_BOOL;
    out.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
  }
  static void text(VARIANT& out, const std::wstring& s) {
    VariantInit(&out);
    out.vt = VT_BSTR;
    out.bstrVal = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
  }
  static void missing(VARIANT& out) {
    VariantInit(&out);
    out.vt = VT_ERROR;
    out.scode = DISP_E_PARAMNOTFOUND;
  }
  static void object(VARIANT& out, IDispatch* d) {
    VariantInit(&out);
    out.vt = VT_DISPATCH;
    out.pdispVal = d;
    d->AddRef();
  }
};

// An IDispatch reference that releases itself.
class Object {
 public:
  Object() = default;
  explicit Object(IDispatch* p) : p_(p) {}
  ~Object() { reset(); }
  Object(Object&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  Object& operator=(Object&& o) noexcept {
    if (this != &o) {
      reset();
      p_ = o.p_;
      o.p_ = nullptr;
    }
    return *this;
  }
  IDispatch* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }

 private:
  IDispatch* p_ = nullptr;
};

// The member's identifier, DISPID_UNKNOWN when the object has none.
DISPID idOf(IDispatch* object, const wchar_t* name);

// One call; `args` in the member's order (they are handed over reversed,
// as IDispatch wants them) and cleared afterwards.
bool invoke(IDispatch* object, DISPID id, WORD kind, std::vector<VARIANT> args,
            VARIANT* result = nullptr);

bool put(IDispatch* object, DISPID id, VARIANT value);
bool putInt(IDispatch* object, DISPID id, int n);
bool putBool(IDispatch* object, DISPID id, bool b);

// A property or method that gives an object; empty when the call failed.
Object objectOf(IDispatch* object, DISPID id, std::vector<VARIANT> args = {},
                WORD kind = DISPATCH_PROPERTYGET | DISPATCH_METHOD);
Object objectOf(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args = {});

// A property read as text or as an integer.
bool textOf(IDispatch* object, DISPID id, std::wstring& text);
bool integerOf(IDispatch* object, DISPID id, int& n);

}  // namespace platform
