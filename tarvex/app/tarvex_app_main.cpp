#include "framework/app/app_main_win.h"
#include "tarvex/plugin/create_tarvex.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return plugkit::AppMain(instance, tarvex::CreateTarvex, "Tarvex");
}
