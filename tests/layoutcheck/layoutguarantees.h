#pragma once
// What every chart layout promises its reader, for every model and every target size. The
// layout's steps are written to keep these promises; BrokenGuarantees states them as a check,
// which the tests and the fuzz target run over generated charts.
//
// (i)   Every text lies wholly inside the chart's rectangle.
// (ii)  No two texts overlap, and no text lies on the legend's frame unless it is an entry of
//       the legend: titles, axis titles, tick labels, category labels, legend entries, marks.
//       A text that does not fit is wrapped (titles and axis titles), shortened with "…" (its
//       whole text kept for a tooltip) or left out, in this order of what goes first: marks,
//       the room for data labels, axis titles, category labels, tick labels; the title's lower
//       lines go where the title would take more than its share of the height.
// (iii) Every drawn series that has a non-zero value shows an area that nothing drawn later
//       covers, whenever the plot gives each category at least 4 pixels, bars that stand beside
//       each other in a category (side by side, or overlapping flat) a pixel each and one
//       between them, and in 3D 8 pixels per depth row (bars of mode 0, lines: each series in
//       a row of its own), so that the rows of a category do not reach far into the next.
//       Denser charts draw each pixel column once, with the range of each series there, smaller
//       ones in front. With the legend shown, every drawn series has its
//       entry; a pie's entries are its points in order, zero ones included, as many as fit,
//       then one line that counts the rest.
// (iv)  The value axis holds every finite value that it shows (and zero where bars start), that
//       range fills at least 60 % of the axis, and the labelled ticks are nice: evenly spaced by
//       1, 2 or 5 times a power of ten, within the axis, exactly 0 where a tick is next to zero.
//       Every bar lies within the plot.
// (v)   Texts keep their physical size in the window and on the printed page; in an image file
//       they follow the image's size (ImageTextScale). This one depends on the device, not on
//       the layout, and is not part of the check.
// (vi)  No text covers a pixel of another point's data (a bar, a slice, a line or its point);
//       a data label covers only its own point's bar or slice, and its own series' line.
// (vii) Every non-zero value shows pixels of its own, uncovered by data drawn later and by
//       texts: every bar whenever the categories have the room of (iii), and every pie slice
//       that is at least a few pixels wide at its rim (thinner ones are drawn as one wedge).
// (viii) The numbers of the value axis follow one format: the same decimals for every tick,
//       each reading back as its value (divided by the scale note's power of ten, which shows
//       when there is one), none longer than 8 characters on an axis that holds zero, and at
//       least four intervals on an axis long enough for them.
// (ix)  Data labels are there wherever they fit by this rule: on a chart of bars side by side
//       (or of one bar series), every bar at least a small label's line plus its 3D depth thick
//       whose side of the axis is at least twice the small label long (plus the depth and a
//       few pixels) has its label; a stacked segment has its label wherever the small label
//       fits inside it; a pie's labels on either side of it are those of its largest slices,
//       and a label that crossed to the other side is of a slice its own side had no place for.
// (x)   More room shows more: laid out with at least as much room on both sides, the chart
//       leaves out, shortens or thins no text that it showed with less: data labels, pie
//       labels, names in the legend, titles; no fewer category labels (shown, and shown
//       whole), and a value axis that keeps three labelled ticks where it had them (it may
//       give up more to data labels that now fit). An image at least as large on both sides
//       has at least as much room wherever its text scale grows no faster than either side
//       (ImageTextScale), which holds for every pair of images of one shape.
// (xi)  Every value has a reading: outside stacks, wherever the categories have the room of (iii)
//       and no bars are gathered into pixel columns, every finite value of a bar series has its
//       bar, and a zero a thin mark on the zero line in its point's colour, of which (ix) then
//       asks a label as of any bar.
// (xii) One number style per chart: every number the chart writes (tick labels, data labels)
//       groups its digits exactly where its integer part has four digits or more; the data
//       labels of one series share one count of decimals; each data label reads back as its
//       value divided by the power of ten of the axis' scale note (or as its value, written with
//       its own power of ten where the shared decimals would show it as 0); and the axis of
//       bars stacked to 100 % says "%".
// (xiii) Nothing but the background on the chart's outermost pixels: faces, lines with their
//       width, the legend's frame and the texts' boxes keep a pixel of the device (two
//       logical pixels of a small image) off every edge.

#include <string>
#include <vector>

#include "chart/layout/chartlayout.h"

namespace chart {

enum class Guarantee {
  TextInside,
  TextsApart,
  SeriesVisible,
  LegendComplete,
  AxisFits,
  TextOffData,
  ValueShows,
  AxisNumbers,
  LabelsPresent,
  MoreRoomShowsMore,
  OffTheEdge,
  ValueRead,
  NumberStyle,
};

struct BrokenGuarantee {
  Guarantee guarantee;
  std::string what;
};

// The guarantees that `layout`, made for `model`, breaks; empty when it keeps them all.
std::vector<BrokenGuarantee> BrokenGuarantees(const ChartModel& model, const ChartLayout& layout);

// (x): what `larger`, the same model laid out with at least as much room on both sides as
// `smaller`, shows less of.
std::vector<BrokenGuarantee> LostWithMoreRoom(const ChartLayout& smaller,
                                              const ChartLayout& larger);

// One line per broken guarantee, for a test's or a fuzzer's report.
std::string DescribeBroken(const std::vector<BrokenGuarantee>& broken);

}  // namespace chart
