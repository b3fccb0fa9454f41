// The setup window and its child edit fields, the message loop, the timer and the fonts and
// brushes that outlive a paint (owned by GdiObjects, which give them back here). The window's
// messages reach a WindowHandler; everything the handler does not take goes to the default window
// procedure.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/painter.h"

namespace platform {

using WindowId = int;  // 0: the setup window; edit fields get 1, 2, ...
constexpr WindowId kNoWindow = -1;

// The keys the setup window answers; every other key goes on to the window or field it was
// aimed at.
enum class Key { Enter, Escape, Tab };

// What a screen reader is told of the setup window's client area (Active Accessibility, and
// through it UI Automation): the page, and its parts in reading order.
enum class AccessibleRole { PushButton, StaticText, EditField };

struct AccessiblePart {
  AccessibleRole role = AccessibleRole::StaticText;
  std::u16string name;
  int left = 0, top = 0, right = 0, bottom = 0;  // client coordinates
  bool unavailable = false;                      // shown, but it does nothing now
  bool isDefault = false;                        // what Enter does while the window has the focus
  WindowId field = kNoWindow;                    // an edit field: its window
};

struct AccessiblePage {
  std::u16string name;         // the page's heading
  std::u16string description;  // its texts, one after the other
  std::vector<AccessiblePart> parts;
};

// What the window tells a screen reader has changed.
enum class AccessibleEvent {
  PageChanged,  // another page: its name, its texts and its parts
  PartFocused,  // the part Enter presses has the keyboard's attention (the window has the focus)
  StateChanged  // a part became available or unavailable
};

class WindowHandler {
 public:
  virtual ~WindowHandler() = default;
  virtual void OnCreate() = 0;
  virtual void OnPaint(Painter& painter) = 0;
  // Coordinates are the low and high 16 bits of the message's lParam, unsigned.
  virtual void OnMouseMove(unsigned x, unsigned y) = 0;
  virtual void OnButtonDown(unsigned x, unsigned y, uintptr_t wParam, intptr_t lParam) = 0;
  virtual void OnTimer(uintptr_t id) = 0;
  virtual void OnSetFocus() = 0;
  // A key pressed in the setup window or one of its fields, taken before the field sees it.
  virtual void OnKey(Key key, bool shift) = 0;
  // The close box, Alt+F4 or another program's WM_CLOSE: the window goes away only when the
  // handler ends it.
  virtual void OnClose() = 0;
  virtual void OnDestroy() = 0;
  // The page as a screen reader reads it now.
  virtual AccessiblePage Accessible() = 0;
  // A screen reader (or another assistive program) asked for the default action of part `index`,
  // named `name` when it asked: a button's click. It arrives through the message loop, as a click
  // does, never inside the reader's own call; a page changed since then is left alone.
  virtual void OnDefaultAction(size_t index, const std::u16string& name) = 0;
};

struct FontRequest {
  int height = 0;
  int width = 0;
  uint8_t charset = 0;
  std::string face;  // ANSI bytes
};

class Windows : public GdiObjectMaker {
 public:
  virtual ~Windows() = default;
  // RegisterClassW (the title in UTF-16 whatever the code page): the class atom, 0 on failure.
  virtual uint16_t RegisterWindowClass(const std::string& className, const std::string& iconName,
                                       const std::string& menuName, WindowHandler* handler) = 0;
  // CreateWindowExW of the setup window (style WS_SYSMENU); OnCreate runs inside.
  virtual bool CreateMain(const std::string& className, const std::u16string& title, int x, int y, int width,
                          int height) = 0;
  // CreateWindowExA of a hidden "EDIT" child (WS_CHILD | WS_SYSMENU); 0 on failure.
  virtual WindowId CreateEdit(int x, int y, int width, int height, const std::string& text) = 0;
  virtual void Show(WindowId window, int showCommand) = 0;
  virtual void Update() = 0;
  virtual void Destroy(WindowId window) = 0;
  virtual void SetText(WindowId window, const std::string& text) = 0;
  // GetWindowTextA with a buffer of maxBytes.
  virtual std::string GetText(WindowId window, int maxBytes) = 0;
  // SetFocus; a field's text is selected whole, as the dialog manager does when it tabs into an
  // edit field, so that what is typed next replaces it.
  virtual void SetFocus(WindowId window) = 0;
  // GetFocus: the setup window, one of its fields, or kNoWindow when the focus is elsewhere.
  virtual WindowId Focused() = 0;
  // EnableWindow of the setup window. Disabling it takes the keyboard focus from it and its fields.
  virtual void Enable(bool enabled) = 0;
  // SetForegroundWindow and SetActiveWindow of the setup window: after modal message boxes
  // without an owner, nothing gives the activation back to it by itself.
  virtual void Activate() = 0;
  // InvalidateRect of the whole client area, without erasing.
  virtual void Invalidate() = 0;
  // GetDC of the setup window; released with the painter.
  virtual std::unique_ptr<Painter> WindowPainter() = 0;
  virtual bool SetTimer(uintptr_t id, uint32_t milliseconds) = 0;
  virtual void KillTimer(uintptr_t id) = 0;
  virtual void PostDestroy(uintptr_t wParam, intptr_t lParam) = 0;
  virtual void PostQuit(int exitCode) = 0;
  // GetMessageA / TranslateMessage / DispatchMessageA until the quit message: its wParam. The
  // keys of Key aimed at the setup window or its fields go to OnKey instead.
  virtual int RunMessageLoop() = 0;
  // NotifyWinEvent for the setup window's client area (`part`: the index of a part of the page,
  // or -1 for the page itself).
  virtual void NotifyAccessible(AccessibleEvent event, int part) = 0;
  // CreateFontA and CreateSolidBrush; empty owners on failure.
  virtual GdiObject MakeFont(const FontRequest& font) = 0;
  virtual GdiObject CreateSolidBrush(Rgb colour) = 0;
};

}  // namespace platform
