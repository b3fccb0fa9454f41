// The setup window over user32 and gdi32: one top-level window per process, its edit fields,
// painters on BeginPaint/GetDC contexts, the message loop and the timer; readers see the window
// through its accessible objects (accessible_window.h, named_edit.h).
#pragma once
#include <windows.h>

#include <map>

#include "platform/win32/accessible_window.h"
#include "platform/win32/named_edit.h"
#include "platform/win32/scoped_handle.h"
#include "platform/window.h"

namespace platform::win32 {

class Win32Windows : public Windows, private FieldWindows {
 public:
  explicit Win32Windows(HINSTANCE instance) : instance_(instance) {}
  ~Win32Windows() override;
  Win32Windows(const Win32Windows&) = delete;
  Win32Windows& operator=(const Win32Windows&) = delete;

  uint16_t RegisterWindowClass(const std::string& className, const std::string& iconName, const std::string& menuName,
                               WindowHandler* handler) override;
  bool CreateMain(const std::string& className, const std::u16string& title, int x, int y, int width,
                  int height) override;
  WindowId CreateEdit(int x, int y, int width, int height, const std::string& text) override;
  void Show(WindowId window, int showCommand) override;
  void Update() override;
  void Destroy(WindowId window) override;
  void SetText(WindowId window, const std::string& text) override;
  std::string GetText(WindowId window, int maxBytes) override;
  void SetFocus(WindowId window) override;
  WindowId Focused() override;
  void Enable(bool enabled) override;
  void Activate() override;
  void Invalidate() override;
  std::unique_ptr<Painter> WindowPainter() override;
  bool SetTimer(uintptr_t id, uint32_t milliseconds) override;
  void KillTimer(uintptr_t id) override;
  void PostDestroy(uintptr_t wParam, intptr_t lParam) override;
  void PostQuit(int exitCode) override;
  int RunMessageLoop() override;
  void NotifyAccessible(AccessibleEvent event, int part) override;
  GdiObject MakeFont(const FontRequest& font) override;
  GdiObject CreateSolidBrush(Rgb colour) override;

 private:
  void DeleteObject(GdiHandle object) override;
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND Find(WindowId window) const;
  // The id of the setup window or of one of its fields; kNoWindow for any other window.
  WindowId IdOf(HWND window) const;
  // True when the message was a key of Key for the setup window and has gone to the handler.
  bool TakeKey(const MSG& msg);
  HWND FieldWindow(WindowId field) const override;
  // WM_GETOBJECT for the client area: the LRESULT of its object, 0 to leave it to the system.
  LRESULT AccessibleObject(HWND window, WPARAM wParam, LPARAM lParam);
  // The handler is going: no accessible object asks it anything from now on.
  void EndAccessibility();

  HINSTANCE instance_;
  WindowHandler* handler_ = nullptr;
  HWND main_ = nullptr;
  std::map<WindowId, NamedEdit> edits_;
  WindowId nextEdit_ = 1;
  bool oleInitialized_ = false;
  ScopedCom<AccessibleWindow> accessible_;
  bool accessibilityEnded_ = false;
};

}  // namespace platform::win32
