// The accessibility calls, found when first used: Windows 95 and 98 without Active Accessibility
// have no oleacc.dll, and Windows 95 has no NotifyWinEvent, so a program that imported them
// would not start there at all. Without them the setup window is what it was before: drawn,
// clicked and typed into, but not read out.
#pragma once
#include <windows.h>

namespace platform::win32::access {

// E_NOTIMPL when oleacc.dll is not there.
HRESULT CreateStdAccessibleObject(HWND window, LONG objectId, REFIID iid, void** object);
HRESULT AccessibleObjectFromWindow(HWND window, DWORD objectId, REFIID iid, void** object);
// 0 (the system answers instead) when oleacc.dll is not there.
LRESULT LresultFromObject(REFIID iid, WPARAM wParam, IUnknown* object);
// Nothing when user32 has no NotifyWinEvent.
void NotifyWinEvent(DWORD event, HWND window, LONG objectId, LONG childId);

}  // namespace platform::win32::access
