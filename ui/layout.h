// Where things are in the setup window: its size, the two buttons, the framed rows and the edit
// fields, in client coordinates. The drawing, the hit tests and the Wine harness's clicks all
// take them from here.
#pragma once

namespace ui {

struct Rect {
  int left, top, right, bottom;
};

constexpr int kWindowWidth = 400;
constexpr int kWindowHeight = 310;

constexpr Rect kConfirmButton = {40, 245, 140, 270};
constexpr Rect kAbandonButton = {260, 245, 360, 270};
constexpr Rect kMiddleRow = {30, 162, 365, 187};
constexpr Rect kLowerRow = {30, 192, 365, 217};

// Edit fields: left, top, right, bottom (the window gets left, top, width and height).
constexpr Rect kDirectoryFieldBox = {120, 195, 350, 215};
constexpr Rect kGovernmentFieldBox = {130, 195, 360, 215};
constexpr Rect kUnitFieldBox = {130, 165, 360, 185};

}  // namespace ui
