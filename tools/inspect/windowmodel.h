#pragma once
// The chart window as plain data: what the property keywords change on it at once, kept
// without any widget, so that a checker can follow the property pass without showing a window.

#include <string>
#include <vector>

#include "propertyfile.h"

// Starts as the window stands when the first property record is read: its design (one empty
// title line, the "3D" box checked) and the chart's defaults (3D view on, legend hidden).
struct WindowModel : WindowEffects {
  bool windowVisible = true;
  bool view3D = true;
  bool checkBoxChecked = true;
  bool checkBoxVisible = true;
  bool printButtonVisible = true;
  std::vector<std::string> titleLines{""};
  std::string leftAxisTitle;
  std::string bottomAxisTitle;
  bool legendVisible = false;

  void HideWindow() override { windowVisible = false; }
  void ShowFlat() override { view3D = checkBoxChecked = false; }
  void Hide3DCheckBox() override { checkBoxVisible = false; }
  void HidePrintButton() override { printButtonVisible = false; }
  void AddTitleLine(const std::string& line) override { titleLines.push_back(line); }
  void SetLeftAxisTitle(const std::string& caption) override { leftAxisTitle = caption; }
  void SetBottomAxisTitle(const std::string& caption) override { bottomAxisTitle = caption; }
  void ShowLegend() override { legendVisible = true; }
};
