#pragma once

#include "framework/core/string_buffer.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <ole2.h>
#include <windows.h>

#include <atomic>

namespace plugkit::igraphics::DragAndDropHelpers {

// COM interfaces have no destructor by design: these objects die only in
// Release, which deletes through RefCounted's virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// A COM reference count starting at 1; Release deletes the object at 0.
template <typename Interface>
class RefCounted : public Interface {
public:
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

protected:
  virtual ~RefCounted() = default;

private:
  std::atomic<ULONG> references_{1};
};

// The one file a drag carries, offered as CF_HDROP in global memory.
class DataObject : public RefCounted<IDataObject> {
public:
  DataObject(const FORMATETC& format, const char* path);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
  FORMATETC format_;
  StringBuffer path_;
};

class DropSource : public RefCounted<IDropSource> {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

class EnumFORMATETC : public RefCounted<IEnumFORMATETC> {
public:
  EnumFORMATETC(const FORMATETC& format, ULONG position) : format_(format), position_(position) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** out) override;

private:
  FORMATETC format_;
  ULONG position_;
};

#pragma GCC diagnostic pop

// The format a dragged file travels in: CF_HDROP, content, global memory.
FORMATETC FileDropFormat();

// Whether a finished DoDragDrop moved the file anywhere: a drop that a
// target took. A cancelled drag, or one dropped where nothing accepts it,
// did not.
bool DragDropDelivered(HRESULT result, DWORD effect);

} // namespace plugkit::igraphics::DragAndDropHelpers
