#include "ui/pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <span>

#include "core/setup_state.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/encoding.h"
#include "ui/layout.h"
#include "ui/texts.h"

namespace {

using platform::Rgb;
using platform::fake::DrawCall;
using testing_support::Utf8;

using Painter = void (*)(core::SetupState&, ui::WindowLook&, platform::Painter&);

struct Page {
  const char* name;
  Painter paint;
};

constexpr Page kWelcome = {"welcome", ui::PaintWelcomePage};
constexpr Page kAddress = {"address", ui::PaintAddressPage};
constexpr Page kDirectory = {"directory", ui::PaintDirectoryPage};
constexpr Page kProcessing = {"processing", ui::PaintProcessingPage};
constexpr Page kTryOut = {"try-out", ui::PaintTryOutPage};
constexpr Page kAllPages[] = {kWelcome, kAddress, kDirectory, kProcessing, kTryOut};

// The system font a fresh context starts with: 16 pixels high, 8 wide for each byte of a text.
constexpr int kSystemFontHeight = 16;
constexpr int kSystemFontWidth = 8;

bool Inside(const ui::Rect& inner, const ui::Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

bool Overlap(const ui::Rect& a, const ui::Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// One row of the background: a line across the whole client area.
bool IsBackgroundRow(const DrawCall& c) {
  return c.kind == DrawCall::Line && c.x1 == 0 && c.x2 == ui::kWindowWidth && c.y1 == c.y2;
}

// A text call's characters: the bytes of an ANSI text, the UTF-8 spelling of a wide one.
std::string Text(const DrawCall& c) { return c.kind == DrawCall::TextA ? c.text : Utf8(c.textW); }

class Pages : public ::testing::Test {
 protected:
  platform::fake::FakePlatform fake;
  core::SetupState s{fake.os()};

  Pages() {
    look.NormalFont = fake.windows.MakeFont({22, 7, 134, ui::text::kFontSong});
    look.TitleFont = fake.windows.MakeFont({40, 20, 134, ui::text::kFontKai});
  }
  void Paint(Painter painter) {
    fake.windows.calls.clear();
    auto p = fake.windows.WindowPainter();
    painter(s, look, *p);
  }
  // As the window shows a page: the welcome page, which keeps the context's own font for the
  // address page's note, was painted before it.
  void PaintShown(Painter painter) {
    Paint(ui::PaintWelcomePage);
    Paint(painter);
  }
  void UseCodePage(uint32_t codePage) {
    s.OemCodePage = codePage;
    s.AnsiCodePage = codePage;
  }
  std::vector<DrawCall> Lines() {
    std::vector<DrawCall> lines;
    for (const auto& c : fake.windows.calls) {
      if (IsBackgroundRow(c)) lines.push_back(c);
    }
    return lines;
  }
  std::vector<DrawCall> Texts() {
    std::vector<DrawCall> texts;
    for (const auto& c : fake.windows.calls) {
      if (c.kind == DrawCall::TextA || c.kind == DrawCall::TextW) texts.push_back(c);
    }
    return texts;
  }
  bool InWindowFont(const DrawCall& c) const {
    return c.font == look.NormalFont.Get() || c.font == look.TitleFont.Get();
  }
  // Where a text lands, from its origin and its font's cell: the fonts are asked for by the width
  // of a single-byte character, and a Chinese character takes two bytes (and two widths) in the
  // ANSI code page, as it does on the screen.
  ui::Rect Extent(const DrawCall& c) const {
    int width = kSystemFontWidth, height = kSystemFontHeight;
    auto font = fake.windows.objects.find(c.font);
    if (font != fake.windows.objects.end()) {
      width = font->second.font.width;
      height = font->second.font.height;
    }
    int bytes = 0;
    if (c.kind == DrawCall::TextA) {
      bytes = static_cast<int>(c.text.size());
    } else {
      for (char16_t ch : c.textW) bytes += ch < 0x80 ? 1 : 2;
    }
    return {c.x1, c.y1, c.x1 + bytes * width, c.y1 + height};
  }

  ui::WindowLook look;
};

// The background covers every row of the client area with one full-width line, under everything
// the page draws on it, and every pen made for it is deleted again. The welcome page's green wraps
// between rows 55 and 56 and again between 183 and 184.
TEST_F(Pages, Gradients) {
  struct Case {
    Page page;
    std::vector<std::pair<int, Rgb>> colours;  // row, colour
  };
  const std::vector<std::pair<int, Rgb>> common = {{0, {0, 0, 250}}, {155, {75, 127, 175}}, {309, {149, 254, 101}}};
  const Case cases[] = {
      {kWelcome,
       {{0, {0, 144, 250}},
        {55, {0, 254, 226}},
        {56, {0, 0, 225}},
        {183, {0, 254, 168}},
        {184, {0, 0, 167}},
        {309, {0, 250, 111}}}},
      {kAddress, common},
      {kDirectory, common},
      {kProcessing, common},
      {kTryOut, common},
  };
  for (const auto& c : cases) {
    Paint(c.page.paint);
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), size_t{ui::kWindowHeight}) << c.page.name;
    std::map<int, Rgb> rows;
    for (const auto& line : lines) rows.emplace(line.y1, line.pen);
    ASSERT_EQ(rows.size(), size_t{ui::kWindowHeight}) << c.page.name;
    EXPECT_EQ(rows.begin()->first, 0) << c.page.name;
    EXPECT_EQ(rows.rbegin()->first, ui::kWindowHeight - 1) << c.page.name;
    for (auto [row, colour] : c.colours) EXPECT_EQ(rows[row], colour) << c.page.name << ", row " << row;

    size_t lastRow = 0, firstOver = fake.windows.calls.size();
    for (size_t i = 0; i < fake.windows.calls.size(); ++i) {
      const DrawCall& call = fake.windows.calls[i];
      if (IsBackgroundRow(call)) {
        lastRow = i;
      } else if (call.kind != DrawCall::Line && firstOver == fake.windows.calls.size()) {
        firstOver = i;
      }
    }
    EXPECT_LT(lastRow, firstOver) << c.page.name;
  }
  for (const auto& [handle, object] : fake.windows.objects) {
    if (object.kind == platform::fake::FakeWindows::GdiObject::Pen) {
      EXPECT_TRUE(object.deleted);
    }
  }
}

// Each page puts back every pen and font it selected before the context is handed back, and
// deletes its pens only once they are out of the context.
TEST_F(Pages, EveryPageHandsTheContextBackAsItFoundIt) {
  const std::pair<const char*, Painter> painters[] = {
      {"welcome", ui::PaintWelcomePage},       {"address", ui::PaintAddressPage}, {"directory", ui::PaintDirectoryPage},
      {"processing", ui::PaintProcessingPage}, {"try-out", ui::PaintTryOutPage},
  };
  for (const auto& [name, painter] : painters) {
    Paint(painter);
    EXPECT_EQ(fake.windows.openPainters, 0) << name;
    EXPECT_EQ(fake.windows.closedWithSelections, 0) << name;
    EXPECT_EQ(fake.windows.deletedWhileSelected, 0) << name;
    EXPECT_EQ(fake.windows.deletedTwice, 0) << name;
  }
  for (const auto& [handle, object] : fake.windows.objects) {
    EXPECT_EQ(object.deleted, object.kind == platform::fake::FakeWindows::GdiObject::Pen) << handle;
  }
}

// The window's two fonts carry every text but two notes: the loading note, written before the
// welcome page selects a font, and the address page's three lines, which keep the face the context
// started with. The welcome page keeps that face for them.
TEST_F(Pages, TextsAreInTheWindowsFontsButTheNotesInTheContextsOwn) {
  const std::set<std::string> ownFont = {ui::text::kLoadingNote, ui::text::kLoadingNoteBig5,
                                         Utf8(ui::text::kAddressLine1), Utf8(ui::text::kAddressLine2),
                                         Utf8(ui::text::kAddressLine3)};
  for (uint32_t codePage : {936u, 950u}) {
    UseCodePage(codePage);
    for (const Page& page : kAllPages) {
      PaintShown(page.paint);
      EXPECT_EQ(look.SavedInitialFont, platform::fake::kSystemFont);
      for (const DrawCall& c : Texts()) {
        if (ownFont.count(Text(c))) {
          EXPECT_EQ(c.font, platform::fake::kSystemFont) << page.name << ": " << Text(c);
        } else {
          EXPECT_TRUE(InWindowFont(c)) << page.name << ": " << Text(c) << " in font " << c.font;
        }
      }
    }
  }
}

// A page's title is its one text in the title font, every copy of it, and nothing else of the page
// lies over it. The welcome and address pages have none.
TEST_F(Pages, TheTitleFontCarriesThePageTitleAboveTheRest) {
  const std::pair<Page, const char16_t*> cases[] = {
      {kWelcome, nullptr},
      {kAddress, nullptr},
      {kDirectory, ui::text::kDirectoryTitle},
      {kProcessing, ui::text::kProcessingTitle},
      {kTryOut, ui::text::kTryOutTitle},
  };
  for (const auto& [page, title] : cases) {
    Paint(page.paint);
    const std::string expected = title ? Utf8(title) : std::string();
    int titleBottom = 0, restTop = ui::kWindowHeight, copies = 0;
    for (const DrawCall& c : Texts()) {
      const bool inTitleFont = c.font == look.TitleFont.Get();
      EXPECT_EQ(inTitleFont, title && Text(c) == expected) << page.name << ": " << Text(c);
      if (inTitleFont) {
        ++copies;
        titleBottom = std::max(titleBottom, Extent(c).bottom);
      } else {
        restTop = std::min(restTop, Extent(c).top);
      }
    }
    EXPECT_EQ(copies > 0, title != nullptr) << page.name;
    EXPECT_LE(titleBottom, restTop) << page.name;
  }
}

// Each button of a page has its raised frame and one caption in the caption colour, whole inside
// it; nothing else is drawn over a button. The processing page, shown while the install runs, has
// no buttons.
TEST_F(Pages, ButtonCaptionsLieInsideTheirButtons) {
  struct Case {
    Page page;
    const char16_t* confirm;  // null: no buttons
    const char16_t* abandon;
  };
  const Case cases[] = {
      {kWelcome, ui::text::kConfirmInstall, ui::text::kAbandon},
      {kAddress, ui::text::kConfirmInstall, ui::text::kAbandon},
      {kDirectory, ui::text::kConfirmInstall, ui::text::kAbandon},
      {kProcessing, nullptr, nullptr},
      {kTryOut, ui::text::kConfirmExit, ui::text::kAbandon},
  };
  for (const Case& c : cases) {
    PaintShown(c.page.paint);
    const std::pair<ui::Rect, const char16_t*> buttons[] = {{ui::kConfirmButton, c.confirm},
                                                            {ui::kAbandonButton, c.abandon}};
    for (const auto& [button, caption] : buttons) {
      std::vector<DrawCall> over;
      for (const DrawCall& t : Texts()) {
        if (Overlap(Extent(t), button)) over.push_back(t);
      }
      bool framed = false;
      for (const DrawCall& l : fake.windows.calls) {
        framed |= l.kind == DrawCall::Line && l.x1 == button.left && l.y1 == button.bottom && l.x2 == button.right &&
                  l.y2 == button.bottom;
      }
      const std::string where = std::string(c.page.name) + ", button at " + std::to_string(button.left);
      EXPECT_EQ(framed, caption != nullptr) << where;
      if (!caption) {
        EXPECT_TRUE(over.empty()) << where;
        continue;
      }
      ASSERT_EQ(over.size(), 1u) << where;
      EXPECT_EQ(over[0].textW, caption) << where;
      EXPECT_EQ(over[0].textColour, ui::kCaptionColour) << where;
      EXPECT_TRUE(Inside(Extent(over[0]), button)) << where;
    }
  }
}

// Every text lies whole inside the client area, and all but the loading note are drawn without a
// box of background colour over the gradient.
TEST_F(Pages, TextsLieOnTheBackgroundInsideTheWindow) {
  const ui::Rect client = {0, 0, ui::kWindowWidth, ui::kWindowHeight};
  for (uint32_t codePage : {936u, 950u}) {
    UseCodePage(codePage);
    for (const Page& page : kAllPages) {
      PaintShown(page.paint);
      for (const DrawCall& c : Texts()) {
        EXPECT_TRUE(Inside(Extent(c), client)) << page.name << ": " << Text(c);
        const bool note = Text(c) == ui::text::kLoadingNote || Text(c) == ui::text::kLoadingNoteBig5;
        EXPECT_EQ(c.transparent, !note) << page.name << ": " << Text(c);
      }
    }
  }
}

// A text drawn more than once is a shadowed title or an embossed heading: its shadows come first,
// and the front copy last, furthest right and down, in a colour that is neither black nor grey.
TEST_F(Pages, FrontCopiesLieOverTheirShadows) {
  const std::pair<Page, size_t> cases[] = {
      {kWelcome, 0}, {kAddress, 1}, {kDirectory, 2}, {kProcessing, 2}, {kTryOut, 2},
  };
  for (const auto& [page, embossed] : cases) {
    PaintShown(page.paint);
    std::map<std::string, std::vector<DrawCall>> copies;
    for (const DrawCall& c : Texts()) copies[Text(c)].push_back(c);
    size_t repeated = 0;
    for (const auto& [text, drawn] : copies) {
      if (drawn.size() < 2) continue;
      ++repeated;
      const DrawCall& front = drawn.back();
      EXPECT_NE(front.textColour, ui::kBlack) << page.name << ": " << text;
      EXPECT_NE(front.textColour, ui::kGrey) << page.name << ": " << text;
      for (const DrawCall& shadow : drawn) {
        EXPECT_LE(shadow.x1, front.x1) << page.name << ": " << text;
        EXPECT_LE(shadow.y1, front.y1) << page.name << ": " << text;
        EXPECT_EQ(shadow.font, front.font) << page.name << ": " << text;
      }
    }
    EXPECT_EQ(repeated, embossed) << page.name;
  }
}

// What each page says: its own texts besides the button captions, none of another page's, and the
// same on a GBK and on a Big5 system but for the loading note's encoding.
TEST_F(Pages, EachPageShowsItsOwnTexts) {
  using namespace ui::text;
  const std::pair<Page, std::vector<const char16_t*>> cases[] = {
      {kWelcome, {kWelcomeLine1, kWelcomeLine2, kVersionNote}},
      {kAddress, {kAddressTitle, kEdition, kAddressLine1, kAddressLine2, kAddressLine3, kUnitLabel, kGovernmentLabel}},
      {kDirectory, {kDirectoryTitle, kDirectoryHeading, kSuitedFor1, kSuitedFor2, kPathLabel}},
      {kProcessing, {kProcessingTitle, kProcessingHeading}},
      {kTryOut, {kTryOutTitle, kTryOutHeading, kTryOutLine1, kTryOutLine2, kTryOutLine3}},
  };
  const std::set<std::string> captions = {Utf8(kConfirmInstall), Utf8(kConfirmExit), Utf8(kAbandon)};
  for (uint32_t codePage : {936u, 950u}) {
    UseCodePage(codePage);
    for (const auto& [page, own] : cases) {
      PaintShown(page.paint);
      std::set<std::string> shown, expected;
      for (const DrawCall& c : Texts()) {
        if (c.kind == DrawCall::TextW && !captions.count(Text(c))) shown.insert(Text(c));
      }
      for (const char16_t* text : own) expected.insert(Utf8(text));
      EXPECT_EQ(shown, expected) << page.name << ", code page " << codePage;
    }
  }
}

// An ANSI text reads as the system's own code page makes it: the loading note in GBK bytes on a
// GBK system and in Big5 bytes on a Big5 one (GBK bytes would read as other characters there).
TEST_F(Pages, AnsiTextsAreInTheSystemsEncoding) {
  struct Case {
    uint32_t codePage;
    const char* charset;
    const char* reads;
  };
  const Case cases[] = {
      {936, "GBK", "安装程序正在载入文件，请等待……"},
      {950, "BIG5", "安裝程序正在載入文件，請等待……"},
  };
  for (const Case& c : cases) {
    UseCodePage(c.codePage);
    size_t ansi = 0;
    for (const Page& page : kAllPages) {
      PaintShown(page.paint);
      for (const DrawCall& t : Texts()) {
        if (t.kind != DrawCall::TextA) continue;
        ++ansi;
        EXPECT_EQ(t.text, testing_support::Encode(c.reads, c.charset)) << page.name << ", " << c.charset;
      }
    }
    EXPECT_GT(ansi, 0u) << c.charset;
  }
}

// Only the loading note goes through the ANSI call, and it has its own Big5 form; every other
// page text is wide, so a Big5 system reads the same characters as a GBK one.
TEST_F(Pages, OnlyTheLoadingNoteIsDrawnAsAnsiText) {
  const std::pair<Painter, size_t> painters[] = {
      {ui::PaintWelcomePage, 1},    {ui::PaintAddressPage, 0}, {ui::PaintDirectoryPage, 0},
      {ui::PaintProcessingPage, 0}, {ui::PaintTryOutPage, 0},
  };
  for (uint32_t codePage : {936u, 950u}) {
    s.OemCodePage = codePage;
    for (size_t i = 0; i < std::size(painters); ++i) {
      Paint(painters[i].first);
      size_t ansi = 0;
      for (const auto& c : fake.windows.calls) ansi += c.kind == DrawCall::TextA;
      EXPECT_EQ(ansi, painters[i].second) << "painter " << i << ", code page " << codePage;
    }
  }
}

// Each page paints its own page; the directory page with its field shown is still the directory
// page, since nothing has been installed yet.
TEST_F(Pages, EachPagePaintsItsOwnPage) {
  const char* welcome = "您尝试过Tavo语句提示输入吗？";
  const char* address = "所在单位网址：";
  const char* directory = "安装路径：";
  const char* processing = "Tavo正在处理有关数据……";
  const char* tryOut = "请输入你的姓名：";
  const std::pair<ui::Page, const char*> cases[] = {
      {ui::Page::Welcome, welcome},          {ui::Page::Address, address},       {ui::Page::Directory, directory},
      {ui::Page::DirectoryField, directory}, {ui::Page::Processing, processing}, {ui::Page::TryOut, tryOut},
      {ui::Page::TryOutConfirmed, tryOut},
  };
  for (auto [page, marker] : cases) {
    fake.windows.calls.clear();
    auto p = fake.windows.WindowPainter();
    ui::PaintPage(page, s, look, *p);
    bool found = false;
    for (const auto& c : fake.windows.calls) {
      found |= c.kind == DrawCall::TextW && testing_support::Utf8(c.textW) == marker;
    }
    EXPECT_TRUE(found) << "page " << static_cast<int>(page) << " lacks " << marker;
  }
}

TEST_F(Pages, WelcomePageWithoutItsPictureShowsTheLoadingNote) {
  const std::string notABitmap = "BM not really a bitmap";
  const std::pair<const char*, std::span<const uint8_t>> pictures[] = {
      {"no picture", {}},
      {"not a bitmap", {reinterpret_cast<const uint8_t*>(notABitmap.data()), notABitmap.size()}},
  };
  for (const auto& [what, picture] : pictures) {
    look.WelcomePicture = picture;
    Paint(ui::PaintWelcomePage);
    for (const auto& c : fake.windows.calls) EXPECT_NE(c.kind, DrawCall::Bitmap) << what;
    ASSERT_FALSE(Texts().empty()) << what;
    EXPECT_EQ(Texts()[0].text, ui::text::kLoadingNote) << what;
  }
}

}  // namespace
