#include "platform/win32/win32_drop_target.h"

#include <utility>

#include "platform/win32/win32_start_up.h"

namespace quernel::win32 {

FileDropTarget::FileDropTarget(Welcome welcome, Take take)
    : welcome_(std::move(welcome)), take_(std::move(take)) {}

HRESULT STDMETHODCALLTYPE FileDropTarget::QueryInterface(REFIID id, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE FileDropTarget::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE FileDropTarget::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

std::vector<Text> FileDropTarget::PathsIn(IDataObject* data) {
  FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  if (!data || FAILED(data->GetData(&format, &medium))) return {};
  std::vector<Text> paths = DroppedPaths(static_cast<HDROP>(medium.hGlobal));
  ReleaseStgMedium(&medium);
  return paths;
}

// A copy where the source offers one, else a link; never a move, which would
// have the source delete its items.
DWORD FileDropTarget::Effect(DWORD allowed) const {
  if (!welcomed_) return DROPEFFECT_NONE;
  if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
  return allowed & DROPEFFECT_LINK;
}

HRESULT STDMETHODCALLTYPE FileDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  welcomed_ = welcome_(PathsIn(data));
  *effect = Effect(*effect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FileDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  *effect = Effect(*effect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FileDropTarget::DragLeave() {
  welcomed_ = false;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FileDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  *effect = Effect(*effect);
  if (*effect != DROPEFFECT_NONE) take_(PathsIn(data));
  welcomed_ = false;
  return S_OK;
}

}  // namespace quernel::win32
