// An edit field of the setup window as readers see it: the edit control's own accessible object,
// named as the page names the field's part (the window draws its labels itself, so the control has
// none of its own for the system to find).
#pragma once
#include <windows.h>

#include "platform/win32/scoped_handle.h"
#include "platform/window.h"

namespace platform::win32 {

class NamedEditObject;

class NamedEdit {
 public:
  // Subclasses `edit`, whose WM_GETOBJECT for its client area is answered here from now on.
  NamedEdit(HWND edit, WindowId id, WindowHandler* handler);
  ~NamedEdit();
  NamedEdit(const NamedEdit&) = delete;
  NamedEdit& operator=(const NamedEdit&) = delete;

  HWND Window() const { return edit_; }
  // The handler is going: the field's object stops answering and the field is read as any edit
  // control from now on.
  void Disconnect();

 private:
  static LRESULT CALLBACK Proc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
  // The LRESULT of the named object; 0 to leave the message to the control.
  LRESULT AccessibleObject(WPARAM wParam);
  void Unsubclass();

  HWND edit_;
  WindowId id_;
  WindowHandler* handler_;
  WNDPROC previous_ = nullptr;
  ScopedCom<NamedEditObject> object_;
};

}  // namespace platform::win32
