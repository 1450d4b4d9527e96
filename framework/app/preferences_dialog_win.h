#pragma once

#include "framework/core/string_buffer.h"

#include <windows.h>

namespace plugkit {

// The preferences dialog's procedure: it edits the process's host's current
// settings as the user chooses, restarts audio on Apply and on OK (result
// IDOK), and on Cancel (result IDCANCEL) brings back the settings the dialog
// opened with.
INT_PTR CALLBACK PreferencesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the dialog from the module's resources modally over `owner`; OK
// saves the settings file. Returns how the dialog ended (-1 when it could not
// be made).
INT_PTR RunPreferencesDialog(HINSTANCE module, HWND owner);

// The text of a list's entry; empty for an index the list does not have.
void ReadComboItemText(HWND combo, int index, StringBuffer& text);

} // namespace plugkit
