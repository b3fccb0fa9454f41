#include "ui/setup_window.h"

#include "core/install_location.h"
#include "core/texts.h"
#include "platform/accessible_parts.h"
#include "platform/constants.h"
#include "ui/pages.h"
#include "ui/texts.h"

namespace ui {
namespace {

constexpr uintptr_t kTimerId = 2;
constexpr uint32_t kTimerMs = 1600;
constexpr int kDirectoryFieldBuffer = 198;
constexpr int kAddressFieldBuffer = 100;
constexpr uint8_t kGb2312Charset = 134;

}  // namespace

platform::WindowId SetupWindow::CreateField(const Rect& box) {
  return windows().CreateEdit(box.left, box.top, box.right - box.left, box.bottom - box.top, " ");
}

bool HitTest(const Rect& r, unsigned x, unsigned y) {
  return static_cast<int>(x) >= r.left && static_cast<int>(x) <= r.right && static_cast<int>(y) >= r.top &&
         static_cast<int>(y) <= r.bottom;
}

uint16_t SetupWindow::RegisterSetupClass() {
  return windows().RegisterWindowClass(text::kClassName, text::kIconName, text::kMenuName, this);
}

bool SetupWindow::CreateSetupWindow(int showCommand) {
  int cx = s_.os.system.ScreenWidth();
  int cy = s_.os.system.ScreenHeight();
  std::u16string title = s_.Is64Bit ? text::kTitle64 : text::kTitle32;
  // Centred across; down, it is placed as if it were 300 high, so the 310-high window sits five
  // pixels below the centre of the screen (where the product's window has always opened).
  if (!windows().CreateMain(text::kClassName, title, (cx - kWindowWidth) / 2, (cy - 300) / 2, kWindowWidth,
                            kWindowHeight)) {
    return false;
  }
  if (resourcesMissing_) {
    // Nothing can be shown or installed without them: say so and end before the first page.
    s_.os.dialogs.MessageW(core::text::kNoPayload, text::kCaptionTavo, platform::kMbOk);
    windows().Destroy(0);
    return false;
  }
  directoryField_ = CreateField(kDirectoryFieldBox);
  governmentField_ = CreateField(kGovernmentFieldBox);
  unitField_ = CreateField(kUnitFieldBox);
  windows().Show(0, showCommand);
  windows().Update();
  return true;
}

void SetupWindow::OnCreate() {
  look_.NormalFont = windows().MakeFont({22, 7, kGb2312Charset, text::kFontSong});
  look_.TitleFont = windows().MakeFont({40, 20, kGb2312Charset, text::kFontKai});
  look_.BarBrush = windows().CreateSolidBrush({255, 0, 0});
  resourcesMissing_ = !steps_.OpenPayload();
}

void SetupWindow::PaintPage(Page page, platform::Painter& painter) {
  // Unpacked afresh for each paint: the install uses the same work area in between.
  look_.WelcomePicture = page == Page::Welcome ? steps_.LoadPicture(text::kPicture) : std::span<const uint8_t>();
  ui::PaintPage(page, s_, look_, painter);
}

void SetupWindow::OnPaint(platform::Painter& painter) {
  PaintPage(page_, painter);
  // The try-out page is for typing with the new IME: it is made this process's layout.
  if (page_ == Page::TryOut || page_ == Page::TryOutConfirmed) steps_.ActivateImeLayout();
}

void SetupWindow::OnMouseMove(unsigned x, unsigned y) {
  auto p = windows().WindowPainter();
  platform::ScopedSelect font(*p, look_.NormalFont);
  p->SetTransparentBackground();
  bool big5 = s_.UsesBig5();
  const bool last = page_ == Page::TryOut || page_ == Page::TryOutConfirmed;
  std::string confirm = big5 ? text::kHoverConfirmBig5 : last ? text::kHoverConfirmExit : text::kHoverConfirmInstall;
  std::string abandon = big5 ? text::kHoverAbandonBig5 : text::kHoverAbandon;
  auto pressed = [&](const Rect& r, const std::string& caption) {
    DrawSunkenFrame(*p, r.left, r.top, r.right, r.bottom);
    SetCaptionColour(*p);
    p->TextA(r.left + 5, r.top + 2, caption);
    p->SetTextColour(kWhite);
    p->TextA(r.left + 6, r.top + 3, caption);
  };
  if (HitTest(kAbandonButton, x, y)) {
    pressed(kAbandonButton, abandon);
  } else if (HitTest(kConfirmButton, x, y)) {
    pressed(kConfirmButton, confirm);
  } else {
    DrawButtonFrames(*p);
    SetCaptionColour(*p);
    p->TextA(kConfirmButton.left + 5, kConfirmButton.top + 2, confirm);
    p->TextA(kAbandonButton.left + 5, kAbandonButton.top + 2, abandon);
  }
}

void SetupWindow::OnButtonDown(unsigned x, unsigned y, uintptr_t wParam, intptr_t lParam) {
  if (HitTest(kAbandonButton, x, y)) {
    Press(Button::Abandon, wParam, lParam);
  } else if (HitTest(kConfirmButton, x, y)) {
    Press(Button::Confirm, wParam, lParam);
  }
}

void SetupWindow::OnKey(platform::Key key, bool shift) {
  switch (key) {
    case platform::Key::Enter:
      Press(Button::Confirm, 0, 0);
      break;
    case platform::Key::Escape:
      Press(Button::Abandon, 0, 0);
      break;
    case platform::Key::Tab:
      // Moving the focus under an open message would hand it back to the window behind the box.
      if (!installing_ && !clickPending_) MoveFocus(shift);
      break;
  }
}

void SetupWindow::OnClose() { Press(Button::Abandon, 0, 0); }

platform::AccessiblePage SetupWindow::Accessible() {
  return AccessiblePageOf(page_, s_.Is64Bit, installing_, {directoryField_, unitField_, governmentField_});
}

void SetupWindow::OnDefaultAction(size_t index, const std::u16string& name) {
  const platform::AccessiblePage page = Accessible();
  if (index >= page.parts.size()) return;
  const platform::AccessiblePart& part = page.parts[index];
  if (part.name != name || part.role != platform::AccessibleRole::PushButton || part.unavailable) return;
  Press(part.left == kConfirmButton.left ? Button::Confirm : Button::Abandon, 0, 0);
}

void SetupWindow::AnnouncePage() {
  // The try-out page is one page to a reader, whichever confirmation it waits for.
  const Page shown = page_ == Page::TryOutConfirmed ? Page::TryOut : page_;
  if (shown == announced_ && installing_ == announcedInstalling_) return;
  const bool installChanged = installing_ != announcedInstalling_;
  announced_ = shown;
  announcedInstalling_ = installing_;
  windows().NotifyAccessible(platform::AccessibleEvent::PageChanged, -1);
  const platform::AccessiblePage page = Accessible();
  // The buttons the install makes unavailable (and available again), each told.
  for (size_t i = 0; installChanged && i < page.parts.size(); ++i) {
    if (page.parts[i].role == platform::AccessibleRole::PushButton) {
      windows().NotifyAccessible(platform::AccessibleEvent::StateChanged, static_cast<int>(i));
    }
  }
  // On a page without a field the window keeps the focus, and Enter presses the default button.
  const std::optional<size_t> part = platform::DefaultPartOf(page);
  if (windows().Focused() == 0 && part) {
    windows().NotifyAccessible(platform::AccessibleEvent::PartFocused, static_cast<int>(*part));
  }
}

void SetupWindow::Press(Button button, uintptr_t wParam, intptr_t lParam) {
  if (installing_) return;  // the install owns the window until it returns
  // A step may end in a message box (the path refusal, the install's questions, the check's
  // report, the completion message) whose own loop runs inside this handler. The boxes have no
  // owner, so further clicks and closes still arrive here meanwhile; acting on one would start a
  // second step under the first: a second check and message, the processing page over a refused
  // path.
  if (clickPending_) return;
  clickPending_ = true;
  if (button == Button::Abandon) {
    OnAbandon(wParam, lParam);
  } else {
    OnConfirm(wParam, lParam);
  }
  clickPending_ = false;
  AnnouncePage();
}

void SetupWindow::OnAbandon(uintptr_t wParam, intptr_t lParam) {
  if (page_ != Page::TryOut && page_ != Page::TryOutConfirmed) {
    windows().PostDestroy(wParam, lParam);
  } else {
    FinishSetup(wParam, lParam);
  }
}

std::vector<platform::WindowId> SetupWindow::PageFields() const {
  switch (page_) {
    case Page::Address:
      return {unitField_, governmentField_};
    case Page::DirectoryField:
    case Page::Processing:
    case Page::TryOut:
    case Page::TryOutConfirmed:
      return {directoryField_};
    case Page::Welcome:
    case Page::Directory:
      break;
  }
  return {};
}

void SetupWindow::MoveFocus(bool backwards) {
  std::vector<platform::WindowId> fields = PageFields();
  if (fields.empty()) return;
  int count = static_cast<int>(fields.size());
  int at = -1;
  for (int i = 0; i < count; ++i) {
    if (fields[i] == windows().Focused()) at = i;
  }
  int next = at < 0 ? (backwards ? count - 1 : 0) : (at + (backwards ? count - 1 : 1)) % count;
  windows().SetFocus(fields[next]);
}

void SetupWindow::OnConfirm(uintptr_t wParam, intptr_t lParam) {
  const Page page = page_;
  if (page == Page::Welcome || page == Page::Address) {
    {
      auto p = windows().WindowPainter();
      PaintAddressPage(s_, look_, *p);
    }
    for (platform::WindowId field : {governmentField_, unitField_}) {
      windows().Show(field, platform::kSwHide);
      windows().Show(field, platform::kSwShow);
    }
    if (page == Page::Welcome) {
      std::string unit, government;
      steps_.LoadServerAddresses(&unit, &government);
      windows().SetText(unitField_, unit);
      windows().SetText(governmentField_, government);
    }
    ConfirmAddressPage();
    windows().Invalidate();
    if (page == Page::Welcome) windows().SetFocus(unitField_);
  } else if (page == Page::Directory) {
    windows().Show(directoryField_, platform::kSwHide);
    windows().Show(directoryField_, platform::kSwShow);
    // The start-up read the directory once; only a machine without a fixed drive from c: to g:
    // leaves it without one, and the page still proposes a directory for the user to correct.
    if (s_.InstallDir.size() < 3) s_.InstallDir = "c:\\tavohu2\\";
    windows().SetText(directoryField_, s_.InstallDir);
    page_ = Page::DirectoryField;
    windows().SetFocus(directoryField_);
  } else if (page == Page::DirectoryField) {
    ConfirmDirectory(wParam, lParam);
  } else if (page == Page::Processing) {
    windows().Invalidate();
  } else if (page == Page::TryOut) {
    page_ = Page::TryOutConfirmed;
    windows().Invalidate();
  } else {
    FinishSetup(wParam, lParam);
  }
}

void SetupWindow::ConfirmDirectory(uintptr_t wParam, intptr_t lParam) {
  page_ = Page::Processing;
  s_.InstallDir = windows().GetText(directoryField_, kDirectoryFieldBuffer);
  // Also refused there: characters Windows does not take in a name, before anything is created or
  // started with them.
  if (!core::IsAcceptedInstallDir(s_, s_.InstallDir)) {
    s_.os.dialogs.MessageW(text::kBadPath, text::kCaptionTavo, platform::kMbOk);
    s_.InstallDir = core::CorrectedInstallDir(s_, s_.InstallDir);
    windows().SetText(directoryField_, s_.InstallDir);
    page_ = Page::DirectoryField;
    return;
  }
  installing_ = true;
  windows().Enable(false);
  AnnouncePage();
  report_ = steps_.Install(s_.InstallDir, *this);
  windows().Enable(true);
  installing_ = false;
  if (report_.outcome == core::InstallOutcome::OldImeLocked) {
    // Nothing was installed and the user has been told why: a check would only list the files
    // that were never placed, and a completion message would claim an install that did not
    // happen.
    windows().PostDestroy(wParam, lParam);
    return;
  }
  // The install's message boxes took the activation while the window was disabled, and nothing
  // hands it back: without this the try-out page's name box would take no typing.
  windows().Activate();
  windows().SetFocus(directoryField_);
  if (s_.Is64Bit) {
    windows().Invalidate();
    windows().SetTimer(kTimerId, kTimerMs);
    return;
  }
  FinishSetup(wParam, lParam);
}

void SetupWindow::ConfirmAddressPage() {
  s_.ServerAddress1 = windows().GetText(unitField_, kAddressFieldBuffer);
  s_.ServerAddress2 = windows().GetText(governmentField_, kAddressFieldBuffer);
  if (page_ == Page::Welcome) {
    page_ = Page::Address;
  } else {
    // The page is left before its fields go: hiding the one with the focus hands the focus to
    // the window, whose WM_SETFOCUS must not pass it back to a field of this page.
    page_ = Page::Directory;
    for (platform::WindowId* field : {&governmentField_, &unitField_}) {
      windows().Show(*field, platform::kSwHide);
      windows().Destroy(*field);
      *field = 0;
    }
    windows().SetFocus(0);  // the keys must still reach the window
    windows().Invalidate();
  }
  if (page_ == Page::Directory) steps_.WriteSettingsFiles();
}

void SetupWindow::FinishSetup(uintptr_t wParam, intptr_t lParam) {
  // After a file or entry that could not be placed, or a program that could not be started, the
  // install is not done, whatever the check finds.
  const bool placed =
      report_.unpackComplete && report_.copyFailures == 0 && report_.entriesFailed == 0 && report_.startsFailed == 0;
  if (steps_.VerifyInstallation() && placed) {
    bool locked = report_.outcome == core::InstallOutcome::OldImeLocked;
    s_.os.dialogs.MessageW(locked ? text::kDoneRestartNow : text::kDone, text::kCaptionTavo, platform::kMbOk);
  }
  windows().PostDestroy(wParam, lParam);
}

void SetupWindow::OnTimer(uintptr_t) {
  windows().KillTimer(kTimerId);
  page_ = Page::TryOut;
  windows().SetText(directoryField_, "");
  windows().Invalidate();
  AnnouncePage();
}

void SetupWindow::OnSetFocus() {
  // The first field of the page takes the keyboard; on a page without fields the window keeps it
  // for Enter and Escape.
  std::vector<platform::WindowId> fields = PageFields();
  if (!fields.empty()) windows().SetFocus(fields.front());
}

void SetupWindow::OnDestroy() {
  s_.WorkBuffer.reset();
  s_.PayloadImage.reset();
  // Given back with the window, not at the end of the process: the message loop still runs.
  for (platform::GdiObject* object : {&look_.TitleFont, &look_.NormalFont, &look_.BarBrush}) object->Reset();
  windows().PostQuit(0);
}

void SetupWindow::RedrawDirectoryPage() {
  auto painter = windows().WindowPainter();
  PaintDirectoryPage(s_, look_, *painter);
}

void SetupWindow::ShowProgress(int done, int total) {
  auto painter = windows().WindowPainter();
  DrawProgressBar(look_, *painter, done, total);
}

void SetupWindow::Pause() { s_.os.system.Sleep(50); }

bool SetupWindow::KeepEarlierData() {
  return s_.os.dialogs.MessageW(text::kKeepDataQuestion, text::kCaptionInstall, platform::kMbYesNo) == platform::kIdYes;
}

// Only a No declines: a box that could not be shown leaves the library to be added as usual.
bool SetupWindow::AddSentenceLibrary() {
  return s_.os.dialogs.MessageW(text::kSentenceLibraryQuestion, text::kCaptionInstall, platform::kMbYesNo) !=
         platform::kIdNo;
}

int RunSetupWindow(core::SetupState& s, SetupSteps& steps, int showCommand) {
  SetupWindow window(s, steps);
  if (!window.RegisterSetupClass() || !window.CreateSetupWindow(showCommand)) return 0;
  return s.os.windows.RunMessageLoop();
}

}  // namespace ui
