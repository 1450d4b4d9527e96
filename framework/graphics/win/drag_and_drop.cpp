#include "framework/graphics/win/drag_and_drop.h"

#include "framework/graphics/win/file_list_block.h"

#include <initializer_list>

namespace plugkit::igraphics::DragAndDropHelpers {
namespace {

bool OffersFormat(const FORMATETC& format) {
  return (format.dwAspect & DVASPECT_CONTENT) && (format.tymed & TYMED_HGLOBAL) &&
         format.cfFormat == CF_HDROP;
}

template <typename Object>
HRESULT Answer(Object* object, REFIID riid, void** out, std::initializer_list<const IID*> ids) {
  if (!out) return E_POINTER;
  for (const IID* id : ids) {
    if (IsEqualIID(riid, *id)) {
      object->AddRef();
      *out = object;
      return S_OK;
    }
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

} // namespace

FORMATETC FileDropFormat() {
  return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool DragDropDelivered(HRESULT result, DWORD effect) {
  return result == DRAGDROP_S_DROP && effect != DROPEFFECT_NONE;
}

DataObject::DataObject(const FORMATETC& format, const char* path) : format_(format) {
  path_.Set(path ? path : "", 0);
}

HRESULT DataObject::QueryInterface(REFIID riid, void** object) {
  return Answer(static_cast<IDataObject*>(this), riid, object, {&IID_IUnknown, &IID_IDataObject});
}

HRESULT DataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (!format || !medium) return E_INVALIDARG;
  if (!OffersFormat(*format)) return DV_E_FORMATETC;
  const HGLOBAL block = MakeFileListBlock(path_.Get(), FileListUse::Drag);
  if (!block) return E_OUTOFMEMORY;
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = block;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

HRESULT DataObject::QueryGetData(FORMATETC* format) {
  if (!format) return E_INVALIDARG;
  return OffersFormat(*format) ? S_OK : DV_E_FORMATETC;
}

HRESULT DataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out) out->ptd = nullptr;
  return E_NOTIMPL;
}

HRESULT DataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
  if (!out) return E_POINTER;
  if (direction != DATADIR_GET) {
    *out = nullptr;
    return E_NOTIMPL;
  }
  *out = new EnumFORMATETC(format_, 0);
  return S_OK;
}

HRESULT DropSource::QueryInterface(REFIID riid, void** object) {
  return Answer(static_cast<IDropSource*>(this), riid, object, {&IID_IUnknown, &IID_IDropSource});
}

HRESULT DropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
  if (escapePressed) return DRAGDROP_S_CANCEL;
  if (!(keyState & MK_LBUTTON)) return DRAGDROP_S_DROP;
  return S_OK;
}

HRESULT EnumFORMATETC::QueryInterface(REFIID riid, void** object) {
  return Answer(static_cast<IEnumFORMATETC*>(this), riid, object,
                {&IID_IUnknown, &IID_IEnumFORMATETC});
}

HRESULT EnumFORMATETC::Next(ULONG count, FORMATETC* formats, ULONG* fetched) {
  if (fetched)
    *fetched = 0;
  else if (count != 1)
    return S_FALSE;
  if (position_ != 0 || count == 0 || !formats) return S_FALSE;
  formats[0] = format_;
  if (format_.ptd) {
    auto* device = static_cast<DVTARGETDEVICE*>(CoTaskMemAlloc(format_.ptd->tdSize));
    if (!device) return E_OUTOFMEMORY;
    CopyMemory(device, format_.ptd, format_.ptd->tdSize);
    formats[0].ptd = device;
  }
  position_ = 1;
  if (fetched) *fetched = 1;
  return S_OK;
}

HRESULT EnumFORMATETC::Skip(ULONG count) {
  if (position_ + count != 0) return S_FALSE;
  position_ = 0;
  return S_OK;
}

HRESULT EnumFORMATETC::Reset() {
  position_ = 0;
  return S_OK;
}

HRESULT EnumFORMATETC::Clone(IEnumFORMATETC** out) {
  if (!out) return E_POINTER;
  *out = new EnumFORMATETC(format_, position_);
  return S_OK;
}

} // namespace plugkit::igraphics::DragAndDropHelpers
