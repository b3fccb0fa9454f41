#include "platform/win32/accessibility_api.h"

namespace platform::win32::access {
namespace {

using CreateStd = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using FromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
using FromObject = LRESULT(WINAPI*)(REFIID, WPARAM, IUnknown*);
using Notify = void(WINAPI*)(DWORD, HWND, LONG, LONG);

struct Api {
  CreateStd createStd = nullptr;
  FromWindow fromWindow = nullptr;
  FromObject fromObject = nullptr;
  Notify notify = nullptr;
};

template <typename Function>
Function Find(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

// Loaded once, by the full path of the system directory: a program directory (a download folder)
// may hold a planted oleacc.dll. Only the window's thread asks, so a plain flag keeps it once
// (a guarded static would link the runtime's thread guards into the program).
Api g_api;
bool g_loaded = false;

const Api& Loaded() {
  if (g_loaded) return g_api;
  g_loaded = true;
  char path[MAX_PATH + 16];
  const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
  HMODULE oleacc = nullptr;
  if (length > 0 && length < MAX_PATH) {
    lstrcpyA(path + length, "\\oleacc.dll");
    oleacc = ::LoadLibraryA(path);
  }
  g_api.createStd = Find<CreateStd>(oleacc, "CreateStdAccessibleObject");
  g_api.fromWindow = Find<FromWindow>(oleacc, "AccessibleObjectFromWindow");
  g_api.fromObject = Find<FromObject>(oleacc, "LresultFromObject");
  g_api.notify = Find<Notify>(::GetModuleHandleA("user32.dll"), "NotifyWinEvent");
  return g_api;
}

}  // namespace

HRESULT CreateStdAccessibleObject(HWND window, LONG objectId, REFIID iid, void** object) {
  *object = nullptr;
  const Api& api = Loaded();
  return api.createStd ? api.createStd(window, objectId, iid, object) : E_NOTIMPL;
}

HRESULT AccessibleObjectFromWindow(HWND window, DWORD objectId, REFIID iid, void** object) {
  *object = nullptr;
  const Api& api = Loaded();
  return api.fromWindow ? api.fromWindow(window, objectId, iid, object) : E_NOTIMPL;
}

LRESULT LresultFromObject(REFIID iid, WPARAM wParam, IUnknown* object) {
  const Api& api = Loaded();
  return api.fromObject ? api.fromObject(iid, wParam, object) : 0;
}

void NotifyWinEvent(DWORD event, HWND window, LONG objectId, LONG childId) {
  const Api& api = Loaded();
  if (api.notify) api.notify(event, window, objectId, childId);
}

}  // namespace platform::win32::access
