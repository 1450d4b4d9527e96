#include "framework/graphics/win/file_dialogs.h"

#include "framework/core/win_text.h"
#include "framework/graphics/utf_conversion.h"
#include "framework/graphics/win/ole_scope.h"

#include <commdlg.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>

namespace plugkit::igraphics {
namespace {

constexpr int kPathUnits = MAX_PATH;

COLORREF customColors[16] = {};

struct ColorHookData {
  const wchar_t* title;
  COLORREF start;
};

UINT_PTR CALLBACK ColorHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return 0;
  const auto* chooser = reinterpret_cast<const CHOOSECOLORW*>(lParam);
  const auto* data = reinterpret_cast<const ColorHookData*>(chooser->lCustData);
  if (data && data->title && *data->title) {
    SetWindowTextW(dialog, data->title);
    static const UINT setRgb = RegisterWindowMessageW(L"commdlg_SetRGBColor");
    SendMessageW(dialog, setRgb, 0, static_cast<LPARAM>(data->start));
  }
  return 0;
}

} // namespace

FileFilter BuildFileFilter(const char* extensions) {
  FileFilter result;
  if (!extensions || !*extensions) return result;
  const std::u16string all = UTF8ToUTF16(extensions);
  const std::wstring text(all.begin(), all.end());
  size_t start = 0;
  bool first = true;
  while (start <= text.size()) {
    size_t end = text.find(L' ', start);
    if (end == std::wstring::npos) end = text.size();
    const std::wstring extension = text.substr(start, end - start);
    if (first && extension.size() <= FileFilter::kMaxDefaultExtension)
      result.defaultExtension = extension;
    const std::wstring entry = (first ? L"*." : L";*.") + extension;
    if (result.pattern.size() + entry.size() > FileFilter::kMaxPatternUnits) break;
    result.pattern += entry;
    first = false;
    start = end + 1;
  }
  if (!result.pattern.empty()) {
    result.filter = result.pattern;
    result.filter += L'\0';
    result.filter += result.pattern;
    result.filter += L'\0';
    result.filter += L'\0';
  }
  return result;
}

bool RunFileDialog(HWND owner, StringBuffer& fileName, StringBuffer& directory, FileAction action,
                   const char* extensions) {
  wchar_t file[kPathUnits] = {};
  std::wstring wide;
  if (Utf8ToWide(wide, fileName.Get()) && wide.size() < kPathUnits) wide.copy(file, wide.size());
  std::wstring initialDirectory;
  Utf8ToWide(initialDirectory, directory.Get());
  const FileFilter filter = BuildFileFilter(extensions);

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.filter.empty() ? nullptr : filter.filter.c_str();
  dialog.lpstrFile = file;
  dialog.nMaxFile = kPathUnits - 1;
  dialog.lpstrInitialDir = initialDirectory.empty() ? nullptr : initialDirectory.c_str();
  dialog.lpstrDefExt = filter.defaultExtension.empty() ? nullptr : filter.defaultExtension.c_str();
  bool confirmed;
  if (action == FileAction::Save) {
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    confirmed = GetSaveFileNameW(&dialog) != FALSE;
  } else {
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    confirmed = GetOpenFileNameW(&dialog) != FALSE;
  }
  if (!confirmed) {
    fileName.Set("", 0);
    return false;
  }
  const std::string path = UTF16ToUTF8(reinterpret_cast<const char16_t*>(file));
  const size_t separator = path.find_last_of("\\/");
  if (separator != std::string::npos) directory.Set(path.c_str(), static_cast<int>(separator + 1));
  fileName.Set(path.c_str(), 0);
  return true;
}

bool RunFolderDialog(HWND owner, StringBuffer& directory) {
  const OleScope ole;
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.lpszTitle = L"Choose a Directory";
  browse.ulFlags = BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  directory.Set("", 0);
  if (!chosen) return false;
  wchar_t path[kPathUnits] = {};
  const bool found = SHGetPathFromIDListW(chosen, path) != FALSE;
  CoTaskMemFree(chosen);
  if (!found) return false;
  const std::string folder = UTF16ToUTF8(reinterpret_cast<const char16_t*>(path)) + "\\";
  directory.Set(folder.c_str(), 0);
  return true;
}

bool RunColorDialog(HWND owner, IColor& color, const char* title) {
  std::wstring wideTitle;
  Utf8ToWide(wideTitle, title);
  ColorHookData data{wideTitle.c_str(), RGB(static_cast<BYTE>(color.R), static_cast<BYTE>(color.G),
                                            static_cast<BYTE>(color.B))};
  CHOOSECOLORW chooser{};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = owner;
  chooser.rgbResult = data.start;
  chooser.lpCustColors = customColors;
  chooser.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
  chooser.lCustData = reinterpret_cast<LPARAM>(&data);
  chooser.lpfnHook = ColorHook;
  if (!ChooseColorW(&chooser)) return false;
  color.R = GetRValue(chooser.rgbResult);
  color.G = GetGValue(chooser.rgbResult);
  color.B = GetBValue(chooser.rgbResult);
  return true;
}

} // namespace plugkit::igraphics
