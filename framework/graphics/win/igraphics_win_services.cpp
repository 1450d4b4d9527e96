#include "framework/graphics/win/igraphics_win.h"

#include "framework/core/win_text.h"
#include "framework/graphics/win/clipboard.h"
#include "framework/graphics/win/drag_and_drop.h"
#include "framework/graphics/win/file_dialogs.h"
#include "framework/graphics/win/ole_scope.h"
#include "framework/graphics/win/shell_commands.h"

#include <shellapi.h>
#include <wininet.h>

#include <string>

namespace plugkit::igraphics {
namespace {

int ShowBox(HWND owner, const char* text, const char* caption, UINT type) {
  std::wstring wideText;
  std::wstring wideCaption;
  Utf8ToWide(wideText, text);
  Utf8ToWide(wideCaption, caption);
  return MessageBoxW(owner, wideText.c_str(), wideCaption.c_str(), type);
}

} // namespace

bool IGraphicsWin::GetTextFromClipboard(StringBuffer& text) { return GetClipboardText(text); }

bool IGraphicsWin::SetTextInClipboard(const char* text) { return SetClipboardText(owner_, text); }

bool IGraphicsWin::SetFilePathInClipboard(const char* path) {
  return SetClipboardFilePath(owner_, path);
}

HWND IGraphicsWin::FindOwnerWindow() {
  if (!owner_ && parent_) {
    HWND top = parent_;
    while (const HWND up = GetParent(top)) top = up;
    owner_ = top;
  }
  return owner_;
}

int IGraphicsWin::ShowMessageBox(const char* text, const char* caption, int type,
                                 MsgBoxCompletion completion) {
  ReleaseMouseCapture();
  const int result = ShowBox(FindOwnerWindow(), text, caption, static_cast<UINT>(type));
  if (completion) completion(result);
  return result;
}

void IGraphicsWin::PromptForFile(StringBuffer& fileName, StringBuffer& path, int action,
                                 const char* extensions, FileCompletion completion) {
  if (!window_) {
    fileName.Set("", 0);
    return;
  }
  RunFileDialog(window_, fileName, path, action == 1 ? FileAction::Save : FileAction::Open,
                extensions);
  if (completion) completion(fileName, path);
  ReleaseMouseCapture();
}

void IGraphicsWin::PromptForDirectory(StringBuffer& dir, FileCompletion completion) {
  RunFolderDialog(window_, dir);
  if (completion) {
    const StringBuffer noFile;
    completion(noFile, dir);
  }
  ReleaseMouseCapture();
}

bool IGraphicsWin::PromptForColor(IColor& color, const char* title, ColorCompletion completion) {
  ReleaseMouseCapture();
  if (!window_) return false;
  if (!RunColorDialog(window_, color, title)) return false;
  if (completion) completion(color);
  return true;
}

bool IGraphicsWin::OpenURL(const char* url, const char* windowTitle, const char* confirmMsg,
                           const char* errMsgOnFailure) {
  if (confirmMsg && ShowBox(window_, confirmMsg, windowTitle, MB_YESNO) != IDYES) return false;
  DWORD connection = 0;
  // Only web pages and mail links: anything else the shell would run.
  if (IsOpenableLink(url) && InternetGetConnectedState(&connection, 0)) {
    std::wstring wideUrl;
    Utf8ToWide(wideUrl, url);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(window_, L"open", wideUrl.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return true;
  }
  if (errMsgOnFailure) ShowBox(window_, errMsgOnFailure, windowTitle, MB_OK);
  return false;
}

bool IGraphicsWin::RevealPathInExplorer(const char* path, bool select) {
  std::wstring parameters;
  if (!BuildRevealParameters(path, select, parameters)) return false;
  wchar_t directory[MAX_PATH] = {};
  const UINT units = GetSystemDirectoryW(directory, MAX_PATH);
  if (units == 0 || units > 258) return false;
  const std::wstring workingDirectory = std::wstring(directory) + L"\\";
  const auto result =
      reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", L"explorer.exe", parameters.c_str(),
                                              workingDirectory.c_str(), SW_SHOWNORMAL));
  return result > 32;
}

bool IGraphicsWin::InitiateExternalFileDragDrop(const char* path) {
  bool delivered = false;
  {
    const OleScope ole;
    auto* data = new DragAndDropHelpers::DataObject(DragAndDropHelpers::FileDropFormat(), path);
    auto* source = new DragAndDropHelpers::DropSource();
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = DoDragDrop(data, source, DROPEFFECT_COPY, &effect);
    delivered = DragAndDropHelpers::DragDropDelivered(result, effect);
    data->Release();
    source->Release();
  }
  ReleaseMouseCapture();
  return delivered;
}

} // namespace plugkit::igraphics
