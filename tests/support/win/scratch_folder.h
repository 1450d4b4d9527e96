#pragma once

#include "framework/core/string_buffer.h"
#include "framework/core/win_text.h"

#include <windows.h>

#include <string>

namespace plugkit::test {

// A fresh folder under the temporary folder, removed with all it holds
// (however long its paths) when the test ends. Its path is UTF-8.
class ScratchFolder {
public:
  explicit ScratchFolder(const char* nameUtf8) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    StringBuffer base;
    WideToUtf8(base, temp);
    path_ = std::string(base.Get()) + nameUtf8 + "-" + std::to_string(GetCurrentProcessId());
    HeapBuffer wide(4096);
    Utf8ToWide(wide, path_.c_str());
    CreateDirectoryW(reinterpret_cast<const wchar_t*>(wide.Data()), nullptr);
  }
  ~ScratchFolder() {
    HeapBuffer wide(4096);
    Utf8ToWide(wide, ("\\\\?\\" + path_).c_str());
    RemoveTree(reinterpret_cast<const wchar_t*>(wide.Data()));
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& Path() const { return path_; }

private:
  static void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = folder + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveTree(child);
        else
          DeleteFileW(child.c_str());
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
  }

  std::string path_;
};

} // namespace plugkit::test
