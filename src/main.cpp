// The program's entry point. Until the command line exists this only says so.
#include <windows.h>

#include <cstdio>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::fputs("vantro: command line not built yet\n", stderr);
  return 0;
}
