#pragma once

#include <cstdint>
#include <string>

namespace marrowick {

struct TColor {
  uint8_t R = 0;
  uint8_t G = 0;
  uint8_t B = 0;
  friend bool operator==(const TColor&, const TColor&) = default;
};

inline constexpr TColor kWhite{255, 255, 255};
inline constexpr TColor kBlack{0, 0, 0};
inline constexpr TColor kGrey{128, 128, 128};
inline constexpr TColor kYellow{255, 255, 0};
inline constexpr TColor kRed{255, 0, 0};
inline constexpr TColor kBlue{0, 0, 255};
inline constexpr TColor kOrange{255, 160, 0};

// The drawing surface the section view and the charts paint on. Its pen,
// brush and font settings and its current position persist between
// operations, as on a window's canvas: a chart that fails with its 2-pixel pen
// set leaves the next picture drawn 2 pixels wide.
class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual int Width() const = 0;
  virtual int Height() const = 0;

  virtual void SetBrushSolid(bool solid) = 0;
  virtual void SetBrushColor(TColor color) = 0;
  virtual void SetPenColor(TColor color) = 0;
  virtual void SetPenWidth(int width) = 0;
  virtual void SetFontColor(TColor color) = 0;
  virtual int PenWidth() const = 0;

  // Fills x1 <= x < x2, y1 <= y < y2 with the brush (when solid) and draws the
  // pen's outline on the outer ring of that area.
  virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
  // The ellipse inscribed in the same area, outlined and filled the same way.
  // It does not move the current position.
  virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
  virtual void MoveTo(int x, int y) = 0;
  // Draws from the current position up to, but not including, (x, y), which
  // becomes the current position.
  virtual void LineTo(int x, int y) = 0;
  // Draws the text with its top-left corner at (x, y); with a clear brush the
  // text has no background box.
  virtual void TextOut(int x, int y, const std::string& text) = 0;
};

}  // namespace marrowick
