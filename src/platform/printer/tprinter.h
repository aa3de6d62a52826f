#pragma once
// What printing asks of a printer: one job of one page at a time, texts in a canvas font at
// device pixels of the printable area, and the open page for the chart to draw on. The print
// service's printer (CupsPrinter) implements it; tests put a recording printer in its place.

#include <string>

class QPainter;

class TPrinter {
 public:
  virtual ~TPrinter() = default;

  // Opens a job with its first page. Throws Exception when no printer can be opened.
  virtual void BeginDoc() = 0;
  // Ends the page and the job and hands the job to the printer. Throws Exception when the
  // printer does not take it; the job is closed either way.
  virtual void EndDoc() = 0;
  // Discards the open job, so that nothing of it reaches the printer. Does nothing when no job
  // is open.
  virtual void Abort() = 0;

  // The canvas font of the next TextOut.
  virtual void SetFontName(const std::string& name) = 0;
  virtual void SetFontSize(int points) = 0;
  virtual void SetFontStyle(bool bold, bool italic) = 0;

  // Draws the text with its top-left corner at (x, y), in device pixels from the top-left
  // corner of the printable area.
  virtual void TextOut(int x, int y, const std::string& text) = 0;

  // The printable area in device pixels.
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;

  // The open page, for drawing on it directly (the chart's PrintPartial).
  virtual QPainter& Canvas() = 0;
};
