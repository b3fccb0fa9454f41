// The setup window: its class, its creation with the resources it owns, and its handling of
// paint, mouse, timer, focus and destroy messages; the page road from the welcome page to the
// try-out page.
#pragma once
#include <string>

#include "core/setup_state.h"
#include "platform/window.h"
#include "ui/drawing.h"

namespace ui {

// Left <= x <= right and top <= y <= bottom: the edges belong to the rectangle.
bool HitTest(const Rect& r, unsigned x, unsigned y);

class SetupWindow : public platform::WindowHandler {
 public:
  explicit SetupWindow(core::SetupState& s) : s_(s) {}

  // 0 when the class cannot be registered.
  uint16_t RegisterSetupClass();
  // 1 when the window is up and its first page painted; 0 when it could not be created, or
  // when the payload or the work buffer could not be had (after a message).
  int CreateSetupWindow(int showCommand);

  void OnCreate() override;
  void OnPaint(platform::Painter& painter) override;
  void OnMouseMove(unsigned x, unsigned y) override;
  void OnButtonDown(unsigned x, unsigned y, uintptr_t wParam, intptr_t lParam) override;
  void OnTimer(uintptr_t id) override;
  void OnSetFocus() override;
  bool OnClose() override;
  void OnDestroy() override;

 private:
  platform::WindowId CreateField(const Rect& box);
  void OnClick(unsigned x, unsigned y, uintptr_t wParam, intptr_t lParam);
  void OnConfirm(uintptr_t wParam, intptr_t lParam);
  void ConfirmDirectory(uintptr_t wParam, intptr_t lParam);
  void ConfirmAddressPage();
  void FinishSetup(uintptr_t wParam, intptr_t lParam);
  platform::Windows& windows() { return s_.os.windows; }

  core::SetupState& s_;
  bool resourcesMissing_ = false;
  // A click is being handled; it may be waiting for the answer to a message box.
  bool clickPending_ = false;
};

// The interactive road: class, window, message loop. The exit code (0).
int RunSetupWindow(core::SetupState& s, int showCommand);

}  // namespace ui
