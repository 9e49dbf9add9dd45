// A stand-in for the spreadsheet program's automation server, loaded in
// process as "Excel.Application" by the Wine test. It keeps just enough of
// the object model (application and its active window, workbooks, sheets,
// ranges, borders, interiors, page setup, filters) to answer the calls, and records every call with
// its dispatch identifier and arguments, one line each:
//   <object> <get|put|call> <member>(<id>) <arguments>
// Exports for the test: the record, a member whose calls fail, and a
// workbook that is open already. Loaded by another program, it takes the
// same from the environment: MZ_STAND_IN_RECORD names a file that each
// recorded line is appended to, MZ_STAND_IN_FAIL the failing member.
// A failing member "Value@book1.2" fails only on objects whose label
// starts with "book1.2" (one sheet).
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const CLSID kClsid = {0x00024500, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

std::string calls;
std::wstring failingMember;
std::string failingLabel;  // empty: every object

// "Member@label" -> the member and the label its failure is kept to.
void setFailing(const std::wstring& failing) {
  size_t at = failing.find(L'@');
  failingMember = failing.substr(0, at);
  failingLabel.clear();
  if (at != std::wstring::npos)
    for (wchar_t c : failing.substr(at + 1)) failingLabel += static_cast<char>(c);
}

std::wstring environment(const wchar_t* name) {
  wchar_t value[1024];
  DWORD n = GetEnvironmentVariableW(name, value, 1024);
  return n > 0 && n < 1024 ? std::wstring(value, n) : std::wstring();
}

// The line just recorded, also onto the record file of the environment.
void appendToRecordFile(const std::string& line) {
  static const std::wstring path = environment(L"MZ_STAND_IN_RECORD");
  if (path.empty()) return;
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

// Loaded by another program: its failing member from the environment.
const bool failingFromEnvironment = (setFailing(environment(L"MZ_STAND_IN_FAIL")), true);

void record(const std::string& line) {
  calls += line;
  appendToRecordFile(line);
}

std::string utf8(const wchar_t* s, size_t n) {
  int size = WideCharToMultiByte(CP_UTF8, 0, s, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, s, static_cast<int>(n), out.data(), size, nullptr, nullptr);
  return out;
}

// Members and their identifiers: the program's published ones where the
// caller uses numbers, numbers of our own for those asked for by name.
const std::map<std::wstring, DISPID> kMembers = {
    {L"Visible", 558},        {L"ScreenUpdating", 382},
    {L"Calculation", 316},    {L"DisplayAlerts", 343},
    {L"EnableEvents", 1212},  {L"Interactive", 1210},
    {L"Quit", 302},           {L"Count", 118},
    {L"SaveAs", 284},         {L"Close", 277},
    {L"Color", 99},           {L"Workbooks", 2001},
    {L"Add", 2002},           {L"Item", 2003},
    {L"Worksheets", 2004},    {L"Name", 2005},
    {L"Range", 2006},         {L"Value", 2007},
    {L"ColumnWidth", 2008},   {L"Borders", 2009},
    {L"LineStyle", 2010},     {L"Interior", 2011},
    {L"PageSetup", 2012},     {L"PrintTitleRows", 2013},
    {L"FullName", 2014},      {L"NumberFormat", 2015},
    {L"AutoFilter", 2016},    {L"AutoFilterMode", 2017},
    {L"Activate", 2018},      {L"ActiveWindow", 2019},
    {L"SplitRow", 2020},      {L"SplitColumn", 2021},
    {L"FreezePanes", 2022},   {L"Orientation", 2023},
    {L"Zoom", 2024},          {L"FitToPagesWide", 2025},
    {L"FitToPagesTall", 2026}};

std::wstring memberName(DISPID id) {
  for (const auto& [name, number] : kMembers) {
    if (number == id) return name;
  }
  return L"?";
}

class Fake;
std::set<Fake*> live;

class Fake : public IDispatch {
 public:
  Fake(std::string kind, std::string label) : kind_(std::move(kind)), label_(std::move(label)) {
    live.insert(this);
  }
  virtual ~Fake() = default;
  const std::string& label() const { return label_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // The objects live as long as the process: the test reads them at the end.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    for (UINT i = 0; i < count; ++i) {
      auto at = kMembers.find(names[i]);
      if (at == kMembers.end()) return DISP_E_UNKNOWNNAME;
      ids[i] = at->second;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    std::vector<VARIANT*> args;
    for (UINT i = params->cArgs; i > 0; --i) args.push_back(&params->rgvarg[i - 1]);
    std::wstring member = memberName(id);
    const char* how = (flags & DISPATCH_PROPERTYPUT) ? "put"
                      : (flags & DISPATCH_METHOD)    ? "call"
                                                     : "get";
    std::string line = label_ + " " + how + " " + utf8(member.data(), member.size()) + "(" +
                       std::to_string(id) + ")";
    for (VARIANT* a : args) line += " " + describe(*a);
    record(line + "\n");
    if (!failingMember.empty() && member == failingMember && label_.rfind(failingLabel, 0) == 0)
      return DISP_E_EXCEPTION;
    if (result) VariantInit(result);
    return answer(member, args, result);
  }

  static std::string describe(const VARIANT& v);

 protected:
  virtual HRESULT answer(const std::wstring& member, const std::vector<VARIANT*>& args,
                         VARIANT* result) {
    return S_OK;  // a property put, or one whose value nobody reads
  }
  static HRESULT give(VARIANT* result, Fake* object) {
    if (!result) return S_OK;
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
    return S_OK;
  }
  static HRESULT give(VARIANT* result, int n) {
    if (!result) return S_OK;
    result->vt = VT_I4;
    result->lVal = n;
    return S_OK;
  }
  static HRESULT give(VARIANT* result, const std::wstring& s) {
    if (!result) return S_OK;
    result->vt = VT_BSTR;
    result->bstrVal = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    return S_OK;
  }
  // A collection's Count, or its Item(i) counted from 1.
  template <typename Element>
  static HRESULT element(const std::wstring& member, const std::vector<Element*>& all,
                         const std::vector<VARIANT*>& args, VARIANT* result) {
    if (member == L"Count") return give(result, static_cast<int>(all.size()));
    int i = integer(args, 0);
    if (i < 1 || i > static_cast<int>(all.size())) return DISP_E_BADINDEX;
    return give(result, all[i - 1]);
  }
  static int integer(const std::vector<VARIANT*>& args, size_t i) {
    return i < args.size() && args[i]->vt == VT_I4 ? args[i]->lVal : 0;
  }
  static std::wstring text(const std::vector<VARIANT*>& args, size_t i) {
    return i < args.size() && args[i]->vt == VT_BSTR ? std::wstring(args[i]->bstrVal) : L"";
  }

  std::string kind_;
  std::string label_;
};

std::string Fake::describe(const VARIANT& v) {
  switch (v.vt) {
    case VT_I4:
      return std::to_string(v.lVal);
    case VT_BOOL:
      return v.boolVal ? "true" : "false";
    case VT_BSTR:
      return "'" + utf8(v.bstrVal, SysStringLen(v.bstrVal)) + "'";
    case VT_ERROR:
      return "missing";
    case VT_DISPATCH:
      return live.count(static_cast<Fake*>(v.pdispVal)) ? static_cast<Fake*>(v.pdispVal)->label()
                                                        : "object";
    case VT_ARRAY | VT_VARIANT: {
      SAFEARRAY* a = v.parray;
      LONG rows = 0, columns = 0, low = 0;
      if (SafeArrayGetDim(a) != 2) return "array?";
      SafeArrayGetUBound(a, 1, &rows);
      SafeArrayGetUBound(a, 2, &columns);
      SafeArrayGetLBound(a, 1, &low);
      std::string out = "[" + std::to_string(rows - low + 1) + "x" +
                        std::to_string(columns - low + 1) + " from " + std::to_string(low);
      for (LONG r = low; r <= rows; ++r) {
        out += r == low ? ":" : " /";
        for (LONG c = low; c <= columns; ++c) {
          VARIANT e;
          VariantInit(&e);
          LONG at[2] = {r, c};
          SafeArrayGetElement(a, at, &e);
          out += " " + describe(e);
          VariantClear(&e);
        }
      }
      return out + "]";
    }
    default:
      return "vt" + std::to_string(v.vt);
  }
}

// Leaf objects: borders of a range and one border, an interior.
class Border : public Fake {
 public:
  using Fake::Fake;
};
class Borders : public Fake {
 public:
  using Fake::Fake;
  HRESULT answer(const std::wstring& member, const std::vector<VARIANT*>& args,
                 VARIANT* result) override {
    if (member != L"Item") return S_OK;
    return give(result, new Border("border", label_ + "." + std::to_string(integer(args, 0))));
  }
};

// A range filters its sheet.
class Range : public Fake {
 public:
  Range(std::string label, bool* sheetFiltered)
      : Fake("range", std::move(label)), sheetFiltered_(sheetFiltered) {}
  HRESULT answer(const std::wstring& member, const std::vector<VARIANT*>&,
                 VARIANT* result) override {
    if (member == L"Borders") return give(result, new Borders("borders", label_ + ".borders"));
    if (member == L"Interior") return give(result, new Fake("interior", label_ + ".interior"));
    if (member == L"AutoFilter") *sheetFiltered_ = true;
    return S_OK;
  }

 private:
  bool* sheetFiltered_;
};

class PageSetup : public Fake {
 public:
  using Fake::Fake;
  HRESULT answer(const std::wstring& member, const std::vector<VARIANT*>& args,
                 VARIANT* result) override {
    if (member != L"PrintTitleRows") return S_OK;
    if (!args.empty()) titles_ = text(args, 0);
    return args.empty() ? give(result, titles_) : S_OK;
  }

 private:
  std::wstring titles_;
};

class Sheet : public Fake {
 public:
  Sheet(std::string label, std::wstring name)
      : Fake("sheet", std::move(label)),
        name_(std::move(name)),
        setup_(new PageSetup("setup", label_ + ".setup")) {}
  const std::wstring& name() const { return name_; }
  HRESULT answer(const std::wstring& member, const std::vector<VARIANT*>& args,
                 VARIANT* result) override {
    if (member == L"Name") {
      if (!args.empty()) name_ = text(args, 0);
      return args.empty() ? give(result, name_) : S_OK;
    }
    if (member == L"Range") {
      std::wstring a1 = text(args, 0);
      return give(result, new Range(label_ + "!" + utf8(a1.c_str(), a1.size()), &filtered_));
    }
    if (member == L"PageSetup") return give(result, setup_);
    if (member == L"AutoFilterMode") {
      if (!result) return S_OK;
      result->vt = VT_BOOL;
      result->boolVal = filtered_ ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return S_OK;
  }

 private:
  std::wstring name_;
  PageSetup* setup_;
  bool filtered_ = false;
};

class Sheets : public Fake {
 public:
  explicit Sheets(std::string book) : Fake("sheets", book + ".sheets"), book_(std::move(book)) {
    add();
  }
  HRESULT answer(const std::wstring& member, const std::vector<VARIANT*>& args,
                 VARIANT* result) override {
    if (member == L"Count" || member == L"Item") return element(member, sheets_, args, result);
    if (member == L"Add") return give(result, add());
    return S_OK;
  }

 private:
  Sheet* add() {
    int n = static_cast<int>(sheets_.size()) + 1;
    sheets_.push_back(new Sheet(book_ + "." + std::to_string(n), L"Sheet" + std::to_wstring(n)));
    return sheets_.back();
  }
  std::string book_;
  std::vector<Sheet*> sheets_;
};

class Book;
std::vector<Book*> books;

class Book : public Fake {
 public:
  Book(std::string label, std::wstring fullName)
      : Fake("book", label), fullName_(std::move(fullName)), sheets_(new Sheets(label)) {}
  HRESULT answer(const std::wstring& member, const std::vector<VARIANT*>& args,
                 VARIANT* result) override {
    if (member == L"Worksheets") return give(result, sheets_);
    if (member == L"FullName") return give(result, fullName_);
    if (member == L"SaveAs") fullName_ = text(args, 0);
    if (member == L"Close") {
      for (size_t i = 0; i < books.size(); ++i) {
        if (books[i] == this) books.erase(books.begin() + i);
      }
    }
    return S_OK;
  }

 private:
  std::wstring fullName_;
  Sheets* sheets_;
};

class Workbooks : public Fake {
 public:
  using Fake::Fake;
  HRESULT answer(const std::wstring& member, const std::vector<VARIANT*>& args,
                 VARIANT* result) override {
    if (member == L"Count" || member == L"Item") return element(member, books, args, result);
    if (member == L"Add") {
      books.push_back(new Book("book" + std::to_string(++added_), L"Book"));
      return give(result, books.back());
    }
    return S_OK;
  }

 private:
  int added_ = 0;
};

class Application : public Fake {
 public:
  Application()
      : Fake("application", "app"),
        workbooks_(new Workbooks("workbooks", "workbooks")),
        window_(new Fake("window", "window")) {}
  HRESULT answer(const std::wstring& member, const std::vector<VARIANT*>&,
                 VARIANT* result) override {
    if (member == L"Workbooks") return give(result, workbooks_);
    if (member == L"ActiveWindow") return give(result, window_);
    return S_OK;
  }

 private:
  Workbooks* workbooks_;
  Fake* window_;
};

class Factory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID riid, void** out) override {
    record("created\n");
    return (new Application())->QueryInterface(riid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory factory;

}  // namespace

extern "C" {

__declspec(dllexport) HRESULT STDAPICALLTYPE
    DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  if (clsid != kClsid) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(riid, out);
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }

// The calls since the last reset, UTF-8; and the reset.
__declspec(dllexport) const char* standInCalls() { return calls.c_str(); }
__declspec(dllexport) void standInReset(const wchar_t* failing) {
  calls.clear();
  setFailing(failing ? failing : L"");
  books.clear();
}

// A workbook the user has open already.
__declspec(dllexport) void standInOpenWorkbook(const wchar_t* fullName) {
  books.push_back(new Book("open", fullName));
}

}  // extern "C"
