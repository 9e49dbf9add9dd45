#include "platform/dispatch_win32.h"

namespace platform {

DISPID idOf(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
    return DISPID_UNKNOWN;
  }
  return id;
}

bool invoke(IDispatch* object, DISPID id, WORD kind, std::vector<VARIANT> args, VARIANT* result) {
  bool ok = false;
  if (object && id != DISPID_UNKNOWN) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (kind == DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &put;
      params.cNamedArgs = 1;
    }
    ok = SUCCEEDED(
        object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, nullptr, nullptr));
  }
  for (VARIANT& a : args) VariantClear(&a);
  return ok;
}

bool put(IDispatch* object, DISPID id, VARIANT value) {
  return invoke(object, id, DISPATCH_PROPERTYPUT, {value});
}
bool putInt(IDispatch* object, DISPID id, int n) {
  VARIANT v;
  Variant::integer(v, n);
  return put(object, id, v);
}
bool putBool(IDispatch* object, DISPID id, bool b) {
  VARIANT v;
  Variant::boolean(v, b);
  return put(object, id, v);
}

Object objectOf(IDispatch* object, DISPID id, std::vector<VARIANT> args, WORD kind) {
  Variant result;
  if (!invoke(object, id, kind, std::move(args), &result.v) || result.v.vt != VT_DISPATCH ||
      !result.v.pdispVal) {
    return Object();
  }
  IDispatch* d = result.v.pdispVal;
  d->AddRef();
  return Object(d);
}
Object objectOf(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args) {
  return object ? objectOf(object, idOf(object, name), std::move(args)) : Object();
}

bool textOf(IDispatch* object, DISPID id, std::wstring& text) {
  Variant result;
  if (!invoke(object, id, DISPATCH_PROPERTYGET, {}, &result.v) ||
      FAILED(VariantChangeType(&result.v, &result.v, 0, VT_BSTR))) {
    return false;
  }
  text.assign(result.v.bstrVal, SysStringLen(result.v.bstrVal));
  return true;
}
bool integerOf(IDispatch* object, DISPID id, int& n) {
  Variant result;
  if (!invoke(object, id, DISPATCH_PROPERTYGET, {}, &result.v) ||
      FAILED(VariantChangeType(&result.v, &result.v, 0, VT_I4))) {
    return false;
  }
  n = result.v.lVal;
  return true;
}

}  // namespace platform
