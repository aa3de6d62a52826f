#pragma once
// The chart window's own controls as plain data: what the property keywords change on them at
// once, kept without any widget, so that a run without a window and a checker can follow the pass
// without showing one.

#include "properties/propertyfile.h"

// Starts as the window's design: shown, the "3D" box checked, both controls shown.
struct WindowModel : WindowEffects {
  bool windowVisible = true;
  bool checkBoxChecked = true;
  bool checkBoxVisible = true;
  bool printButtonVisible = true;

  void HideWindow() override { windowVisible = false; }
  void ShowPrintButton() override { printButtonVisible = true; }
  void HidePrintButton() override { printButtonVisible = false; }
  void Uncheck3DCheckBox() override { checkBoxChecked = false; }
  void Hide3DCheckBox() override { checkBoxVisible = false; }
};
