/* A Windows console helper for wine_e2e.sh: finds the visible window named "Vortalux" and prints
 * its class name and the icons its class and the window itself carry, one "name value" a line.
 * The original program's class, "OpenGL WinClass", keeps hIcon NULL; this tells it from the SDL
 * shell's class while the program runs. Exits 1 when there is no such window. */
#include <stdio.h>
#include <windows.h>

int main(void) {
  HWND window = FindWindowA(NULL, "Vortalux");
  if (window == NULL) {
    printf("window none\n");
    return 1;
  }
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  printf("class %s\n", name);
  printf("class-icon %llu\n", (unsigned long long)GetClassLongPtrA(window, GCLP_HICON));
  printf("class-small-icon %llu\n", (unsigned long long)GetClassLongPtrA(window, GCLP_HICONSM));
  printf("window-icon %llu\n", (unsigned long long)SendMessageA(window, WM_GETICON, ICON_BIG, 0));
  return 0;
}
