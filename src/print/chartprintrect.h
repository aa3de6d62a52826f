#pragma once
// Where the chart goes on the printed page: the rectangle that four margins, in percent of the
// printable area, cut out of it. Plain arithmetic, in 64 bits so that no margin can overflow.

#include <cstdint>

struct PrintSettings;

// Edges in device pixels of the printable area; right and bottom lie just outside.
struct ChartPrintRect {
  std::int64_t left = 0;
  std::int64_t top = 0;
  std::int64_t right = 0;
  std::int64_t bottom = 0;

  // Margins that meet or cross leave no room: nothing is drawn.
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool operator==(const ChartPrintRect&) const = default;
};

// left = W * leftMargin / 100, top = H * topMargin / 100, right = W - W * rightMargin / 100,
// bottom = H - H * bottomMargin / 100, each division truncating toward zero. Nothing is clamped:
// margins over 100, or two that add up to more than 100, give an inverted rectangle.
ChartPrintRect MakeChartPrintRect(int pageWidth, int pageHeight, const PrintSettings& settings);
