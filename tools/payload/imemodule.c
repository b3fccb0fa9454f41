/* Stand-in for the IME modules of the sample payload: a real DLL that a test can load (so that
 * the file is "in use"), padded and given its version text by mkpayload. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return TRUE;
}

__declspec(dllexport) DWORD WINAPI ImeInquire(void) { return 0; }
