#pragma once

#include <functional>
#include <vector>

#include "design/text.h"
#include "platform/win32/win32_api.h"
// After windows.h:
#include <ole2.h>

// Items dragged over the window by OLE (Explorer and most programs): the
// pointer shows the drop as welcome only when the program takes one of the
// items, which WM_DROPFILES alone cannot refuse. RegisterDragDrop needs
// OleInitialize on the window's thread.
namespace quernel::win32 {

// COM interfaces have no virtual destructor: Release deletes.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class FileDropTarget final : public IDropTarget {
 public:
  using Welcome = std::function<bool(const std::vector<Text>& paths)>;
  using Take = std::function<void(const std::vector<Text>& paths)>;
  FileDropTarget(Welcome welcome, Take take);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL at, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;

  // The paths of the files a data object carries (CF_HDROP), if any.
  static std::vector<Text> PathsIn(IDataObject* data);

 private:
  ~FileDropTarget() = default;  // by Release
  DWORD Effect(DWORD allowed) const;

  Welcome welcome_;
  Take take_;
  bool welcomed_ = false;
  LONG references_ = 1;
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

}  // namespace quernel::win32
