#pragma once

#include <windows.h>

namespace plugkit {

// The module that holds the program's dialogs, menu and accelerators.
void SetAppModule(HINSTANCE module);

// The main window while it exists, else null.
HWND GetMainWindow();

// The main window's dialog procedure: it carries the editor, runs the menu
// commands and, in screenshot mode, saves its picture half a second after
// opening and closes. Destroying it deletes the process's host and ends the
// message loop.
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sizes the window so that its client area, below the menu bar however many
// lines that takes, is exactly the editor's size.
void FitMainWindowToEditor(HWND window);

// False once a screenshot that screenshot mode asked for could not be saved.
bool ScreenshotModeSucceeded();

} // namespace plugkit
