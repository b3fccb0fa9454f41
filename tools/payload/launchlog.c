/* Stand-in for the programs of the sample payload (main program, companion, uninstallers): it
 * appends its own command line to "launches.log" beside itself, so that a test can see what was
 * started with which arguments. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  char path[MAX_PATH + 16];
  DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
  (void)instance;
  (void)previous;
  (void)commandLine;
  (void)show;
  if (n == 0 || n >= MAX_PATH) return 1;
  while (n > 0 && path[n - 1] != '\\') --n;
  lstrcpyA(path + n, "launches.log");
  HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
  if (log == INVALID_HANDLE_VALUE) return 1;
  /* One write per line, so that programs started together do not mix their lines. */
  const char* own = GetCommandLineA();
  char line[1024];
  int length = lstrlenA(own);
  if (length > (int)sizeof line - 3) length = (int)sizeof line - 3;
  CopyMemory(line, own, length);
  line[length] = '\r';
  line[length + 1] = '\n';
  DWORD written = 0;
  WriteFile(log, line, length + 2, &written, NULL);
  CloseHandle(log);
  return 0;
}
