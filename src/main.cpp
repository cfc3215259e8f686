// The program's entry point.
#include <windows.h>

#include "app/entry.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return vantro::app::run_program();
}
