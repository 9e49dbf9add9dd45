#include "ui/drop_target_win32.h"

#include <ole2.h>
#include <shlobj.h>

#include "ui/drop_list_win32.h"

namespace {

FORMATETC fileList() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// One object for the window's life: the window's thread only calls it.
class DropTarget final : public IDropTarget {
 public:
  DropTarget(HWND window, void (*dropped)(HWND, const std::vector<std::string>*),
             bool (*accepting)())
      : window_(window), dropped_(dropped), accepting_(accepting) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IDropTarget) {
      *out = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    FORMATETC format = fileList();
    carriesFiles_ = data && data->QueryGetData(&format) == S_OK;
    return answer(effect);
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    return answer(effect);
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    carriesFiles_ = false;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    answer(effect);
    carriesFiles_ = false;
    if (*effect == DROPEFFECT_NONE || !data) return S_OK;
    FORMATETC format = fileList();
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium))) {
      dropped_(window_, nullptr);
      return S_OK;
    }
    auto paths = medium.tymed == TYMED_HGLOBAL ? readDropList(medium.hGlobal) : std::nullopt;
    ReleaseStgMedium(&medium);
    dropped_(window_, paths ? &*paths : nullptr);
    return S_OK;
  }

 private:
  HRESULT answer(DWORD* effect) {
    *effect = carriesFiles_ && accepting_() ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
  }

  LONG references_ = 1;
  HWND window_;
  void (*dropped_)(HWND, const std::vector<std::string>*);
  bool (*accepting_)();
  bool carriesFiles_ = false;
};

}  // namespace

bool registerDropTarget(HWND window, void (*dropped)(HWND, const std::vector<std::string>*),
                        bool (*accepting)()) {
  auto* target = new DropTarget(window, dropped, accepting);
  HRESULT result = RegisterDragDrop(window, target);
  target->Release();  // the registration holds it
  return SUCCEEDED(result);
}

void revokeDropTarget(HWND window) { RevokeDragDrop(window); }
