#include "framework/core/resource_services.h"

#include "framework/core/heap_buffer.h"
#include "framework/core/win_files.h"
#include "framework/core/win_text.h"

#include <windows.h>

#include <cwchar>

namespace plugkit {

namespace {

// Resources of fewer bytes than this are not taken for real content.
constexpr DWORD kMinResourceBytes = 8;

HMODULE AsModule(ModuleHandle module) { return static_cast<HMODULE>(module); }

// The resource type as UTF-16 in upper case, as resource compilers store it.
bool UpperType(const char* type, HeapBuffer& out) {
  if (!type || !Utf8ToWide(out, type)) return false;
  auto* wide = reinterpret_cast<wchar_t*>(out.Data());
  CharUpperW(wide);
  return *wide != 0;
}

struct NameSearch {
  const wchar_t* wanted; // lower case, without quotation marks
  StringBuffer* result;
  bool found;
};

BOOL CALLBACK MatchName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
  if (IS_INTRESOURCE(name)) return TRUE;
  auto& search = *reinterpret_cast<NameSearch*>(param);
  // Names are stored inside quotation marks: compare what lies between them.
  const size_t length = std::wcslen(name);
  if (length < 3 || length - 2 != std::wcslen(search.wanted)) return TRUE;
  HeapBuffer inner(4096);
  const int bytes = static_cast<int>((length - 1) * sizeof(wchar_t));
  if (!inner.Resize(bytes, false) || inner.Size() != bytes) return TRUE;
  auto* text = reinterpret_cast<wchar_t*>(inner.Data());
  std::wmemcpy(text, name + 1, length - 2);
  text[length - 2] = 0;
  CharLowerW(text);
  if (std::wcscmp(text, search.wanted) != 0) return TRUE;
  WideToUtf8(*search.result, name);
  search.found = true;
  return FALSE;
}

bool FindEmbedded(const char* name, const char* type, StringBuffer& result, HMODULE module) {
  HeapBuffer wideType(4096);
  HeapBuffer wanted(4096);
  if (!UpperType(type, wideType) || !Utf8ToWide(wanted, name)) return false;
  CharLowerW(reinterpret_cast<wchar_t*>(wanted.Data()));
  NameSearch search{reinterpret_cast<const wchar_t*>(wanted.Data()), &result, false};
  EnumResourceNamesW(module, reinterpret_cast<const wchar_t*>(wideType.Data()), MatchName,
                     reinterpret_cast<LONG_PTR>(&search));
  return search.found;
}

bool IsExistingFile(const char* path) {
  struct _stat64 info {};
  return Utf8Stat(path, &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG;
}

} // namespace

int LocateResource(const char* name, const char* type, StringBuffer& result, ModuleHandle module) {
  if (!name || !*name) return kResourceNotFound;
  if (FindEmbedded(name, type, result, AsModule(module))) return kResourceEmbedded;
  if (!IsExistingFile(name)) return kResourceNotFound;
  result.Set(name);
  return kResourceFile;
}

std::FILE* OpenResourceFile(const char* path) { return Utf8Fopen(path, "rb"); }

const void* LoadWinResource(const char* name, const char* type, int& size, ModuleHandle module) {
  HeapBuffer wideType(4096);
  HeapBuffer wideName(4096);
  if (!name || !UpperType(type, wideType) || !Utf8ToWide(wideName, name)) return nullptr;
  const HMODULE owner = AsModule(module);
  const HRSRC info = FindResourceW(owner, reinterpret_cast<const wchar_t*>(wideName.Data()),
                                   reinterpret_cast<const wchar_t*>(wideType.Data()));
  if (!info) return nullptr;
  const DWORD bytes = SizeofResource(owner, info);
  if (bytes < kMinResourceBytes) return nullptr;
  const HGLOBAL loaded = LoadResource(owner, info);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  size = data ? static_cast<int>(bytes) : 0;
  return data;
}

} // namespace plugkit
