// The setup window: its class, its creation with the resources it owns (fonts, brush, edit
// fields), and its handling of paint, mouse, key, timer, focus and destroy messages; the page
// road from the welcome page to the try-out page. It watches the install it starts.
#pragma once
#include <string>
#include <vector>

#include "core/install_observer.h"
#include "core/install_report.h"
#include "core/setup_state.h"
#include "platform/window.h"
#include "ui/accessible_page.h"
#include "ui/drawing.h"
#include "ui/pages.h"
#include "ui/setup_steps.h"

namespace ui {

// Left <= x <= right and top <= y <= bottom: the edges belong to the rectangle.
bool HitTest(const Rect& r, unsigned x, unsigned y);

class SetupWindow : public platform::WindowHandler, public core::InstallObserver {
 public:
  SetupWindow(core::SetupState& s, SetupSteps& steps) : s_(s), steps_(steps) {}

  // 0 when the class cannot be registered.
  uint16_t RegisterSetupClass();
  // True when the window is up and its first page painted; false when it could not be created,
  // or when the payload or the work buffer could not be had (after a message).
  bool CreateSetupWindow(int showCommand);

  void OnCreate() override;
  void OnPaint(platform::Painter& painter) override;
  void OnMouseMove(unsigned x, unsigned y) override;
  void OnButtonDown(unsigned x, unsigned y, uintptr_t wParam, intptr_t lParam) override;
  void OnTimer(uintptr_t id) override;
  void OnSetFocus() override;
  // Enter confirms and Escape abandons, as the two buttons on the current page; Tab and
  // Shift+Tab go round the page's fields.
  void OnKey(platform::Key key, bool shift) override;
  // What the abandon button does on the current page.
  void OnClose() override;
  void OnDestroy() override;
  platform::AccessiblePage Accessible() override;
  // A button's default action does what its click does.
  void OnDefaultAction(size_t index, const std::u16string& name) override;

  void RedrawDirectoryPage() override;
  void ShowProgress(int done, int total) override;
  void Pause() override;
  bool KeepEarlierData() override;
  bool AddSentenceLibrary() override;

  Page CurrentPage() const { return page_; }
  // Paints `page` whole, as the window shows it (the welcome page with its picture).
  void PaintPage(Page page, platform::Painter& painter);

  // The edit fields (0 while they do not exist) and the drawing resources.
  platform::WindowId DirectoryField() const { return directoryField_; }
  platform::WindowId GovernmentField() const { return governmentField_; }
  platform::WindowId UnitField() const { return unitField_; }
  const WindowLook& Look() const { return look_; }

 private:
  enum class Button { Confirm, Abandon };

  platform::WindowId CreateField(const Rect& box);
  // The one way to a button's step, for a click, a key and a close alike.
  void Press(Button button, uintptr_t wParam, intptr_t lParam);
  void OnAbandon(uintptr_t wParam, intptr_t lParam);
  // The shown edit fields of the current page, in Tab order.
  std::vector<platform::WindowId> PageFields() const;
  void MoveFocus(bool backwards);
  void OnConfirm(uintptr_t wParam, intptr_t lParam);
  void ConfirmDirectory(uintptr_t wParam, intptr_t lParam);
  void ConfirmAddressPage();
  void FinishSetup(uintptr_t wParam, intptr_t lParam);
  platform::Windows& windows() { return s_.os.windows; }
  // Tells a screen reader of the page shown now, once for each page.
  void AnnouncePage();

  core::SetupState& s_;
  SetupSteps& steps_;
  WindowLook look_;
  Page page_ = Page::Welcome;
  // The page a screen reader was last told of.
  Page announced_ = Page::Welcome;
  bool announcedInstalling_ = false;
  platform::WindowId directoryField_ = 0;
  platform::WindowId governmentField_ = 0;
  platform::WindowId unitField_ = 0;
  // RunInstall is running inside a click: the window must not go away under it.
  bool installing_ = false;
  // What the last install reported.
  core::InstallReport report_;
  bool resourcesMissing_ = false;
  // A click, key or close is being handled; it may be waiting for the answer to a message box.
  bool clickPending_ = false;
};

// The interactive road: class, window, message loop. The exit code (0).
int RunSetupWindow(core::SetupState& s, SetupSteps& steps, int showCommand);

}  // namespace ui
