// The setup window's pages as a screen reader reads them: the page's heading and texts as static
// text, each edit field named by what it asks for, each button by its caption, in the order the
// eye reads the page; the buttons do nothing while the install runs.
#pragma once
#include "platform/window.h"
#include "ui/pages.h"

namespace ui {

// The edit fields the window has (0 for one it does not have).
struct PageFieldIds {
  platform::WindowId directory = 0;
  platform::WindowId unit = 0;
  platform::WindowId government = 0;
};

// What `page` shows. While the install runs the window shows the directory page with its bar
// under the processing page's name, and its buttons do nothing.
platform::AccessiblePage AccessiblePageOf(Page page, bool is64, bool installing, const PageFieldIds& fields);

}  // namespace ui
