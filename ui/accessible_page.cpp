#include "ui/accessible_page.h"

#include "ui/layout.h"
#include "ui/texts.h"

namespace ui {
namespace {

// A text's line: from where it is painted to the right edge, one line of its font high.
constexpr int kNormalLine = 22;
constexpr int kTitleLine = 40;

platform::AccessiblePart Part(platform::AccessibleRole role, const std::u16string& name, const Rect& box) {
  platform::AccessiblePart part;
  part.role = role;
  part.name = name;
  part.left = box.left;
  part.top = box.top;
  part.right = box.right;
  part.bottom = box.bottom;
  return part;
}

platform::AccessiblePart Text(int x, int y, const std::u16string& name, int height = kNormalLine) {
  return Part(platform::AccessibleRole::StaticText, name, {x, y, kWindowWidth, y + height});
}

platform::AccessiblePart Field(platform::WindowId field, const Rect& box, const std::u16string& name) {
  platform::AccessiblePart part = Part(platform::AccessibleRole::EditField, name, box);
  part.field = field;
  return part;
}

platform::AccessiblePart Button(const Rect& box, const std::u16string& caption, bool isDefault, bool installing) {
  platform::AccessiblePart part = Part(platform::AccessibleRole::PushButton, caption, box);
  part.isDefault = isDefault;
  part.unavailable = installing;
  return part;
}

}  // namespace

platform::AccessiblePage AccessiblePageOf(Page page, bool is64, bool installing, const PageFieldIds& fields) {
  platform::AccessiblePage a;
  auto buttons = [&](const std::u16string& confirm) {
    a.parts.push_back(Button(kConfirmButton, confirm, true, installing));
    a.parts.push_back(Button(kAbandonButton, text::kAbandon, false, installing));
  };
  if (installing && page == Page::Processing) page = Page::DirectoryField;
  switch (page) {
    case Page::Welcome:
      a.name = is64 ? text::kTitle64 : text::kTitle32;
      a.parts = {Text(10, 165, text::kWelcomeLine1), Text(50, 195, text::kWelcomeLine2),
                 Text(220, 100, text::kVersionNote)};
      buttons(text::kConfirmInstall);
      break;
    case Page::Address:
      a.name = text::kAddressTitle;
      a.parts = {Text(30, 10, text::kAddressTitle), Text(250, 19, text::kEdition), Text(20, 70, text::kAddressLine1),
                 Text(20, 90, text::kAddressLine2), Text(20, 110, text::kAddressLine3)};
      if (fields.unit) a.parts.push_back(Field(fields.unit, kUnitFieldBox, text::kUnitLabel));
      if (fields.government) a.parts.push_back(Field(fields.government, kGovernmentFieldBox, text::kGovernmentLabel));
      buttons(text::kConfirmInstall);
      break;
    case Page::Directory:
    case Page::DirectoryField:
      a.name = text::kDirectoryHeading;
      a.parts = {Text(30, 20, text::kDirectoryTitle, kTitleLine), Text(100, 80, text::kDirectoryHeading),
                 Text(50, 130, text::kSuitedFor1), Text(30, 155, text::kSuitedFor2)};
      if (page == Page::DirectoryField && fields.directory) {
        a.parts.push_back(Field(fields.directory, kDirectoryFieldBox, text::kPathLabel));
      }
      buttons(text::kConfirmInstall);
      break;
    case Page::Processing:
      a.name = text::kProcessingHeading;
      a.parts = {Text(30, 20, text::kProcessingTitle, kTitleLine), Text(80, 80, text::kProcessingHeading)};
      if (fields.directory) a.parts.push_back(Field(fields.directory, kDirectoryFieldBox, text::kPathLabel));
      break;
    case Page::TryOut:
    case Page::TryOutConfirmed:
      a.name = text::kTryOutHeading;
      a.parts = {Text(30, 20, text::kTryOutTitle, kTitleLine), Text(80, 80, text::kTryOutHeading),
                 Text(50, 130, text::kTryOutLine1), Text(50, 155, text::kTryOutLine2)};
      if (fields.directory) a.parts.push_back(Field(fields.directory, kDirectoryFieldBox, text::kTryOutLine3));
      buttons(text::kConfirmExit);
      break;
  }
  if (installing) a.name = text::kProcessingHeading;
  for (const platform::AccessiblePart& part : a.parts) {
    if (part.role != platform::AccessibleRole::StaticText) continue;
    if (!a.description.empty()) a.description += u' ';
    a.description += part.name;
  }
  return a;
}

}  // namespace ui
