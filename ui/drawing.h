// The drawing primitives of the setup window: 3-D frames, the caption colour, the page
// background, the shadowed title and embossed heading, and the progress bar.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "core/setup_state.h"
#include "platform/painter.h"
#include "ui/layout.h"

namespace ui {

// What the window owns for drawing: its two fonts and the bar brush (empty while the window does
// not exist), the font a fresh window device context starts with, saved by the welcome page, and
// the welcome picture's bytes as the steps gave them for this paint (empty: no picture).
struct WindowLook {
  platform::GdiObject NormalFont;
  platform::GdiObject TitleFont;
  platform::GdiObject BarBrush;
  platform::GdiHandle SavedInitialFont = 0;
  std::span<const uint8_t> WelcomePicture;
};

constexpr platform::Rgb kBlack = {0, 0, 0};
constexpr platform::Rgb kWhite = {255, 255, 255};
constexpr platform::Rgb kGrey = {128, 128, 128};
constexpr platform::Rgb kCaptionColour = {255, 128, 128};
constexpr platform::Rgb kLightPink = {255, 187, 187};
constexpr platform::Rgb kTeal = {33, 205, 173};
constexpr platform::Rgb kDarkBlue = {0, 0, 192};

void DrawRaisedFrame(platform::Painter& p, int left, int top, int right, int bottom);
void DrawSunkenFrame(platform::Painter& p, int left, int top, int right, int bottom);
void SetCaptionColour(platform::Painter& p);
// The bar for done of total in the progress box (x 30, y 188, 340 x 30).
void DrawProgressBar(const WindowLook& look, platform::Painter& p, int done, int total);

// 310 horizontal lines of the common background (the welcome page has its own formula).
void DrawCommonGradient(platform::Painter& p);
// Title font: black, three grey shadows, white. Wide text, so that it reads the same under every
// ANSI code page.
void DrawShadowedTitle(const WindowLook& look, platform::Painter& p, const std::u16string& title);
// The welcome page's background.
void DrawWelcomeGradient(platform::Painter& p);
// A BMP file's bytes, clipped to the limits and stretched; nothing when there are none or its
// headers do not fit them.
void DrawBitmap(std::span<const uint8_t> bmp, int limitWidth, int limitHeight, platform::Painter& p, int xd, int yd,
                int wd, int hd, int xs, int ys, int ws, int hs);
void DrawButtonFrames(platform::Painter& p);
void DrawButtonCaptions(platform::Painter& p, const std::u16string& confirm, const std::u16string& abandon);

}  // namespace ui
