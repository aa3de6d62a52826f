#pragma once
// The chart window's own controls, as the creation pass changes them.

#include <QCheckBox>
#include <QPushButton>

#include "properties/propertyfile.h"
#include "window/tform1.h"

class WindowControls : public WindowEffects {
 public:
  explicit WindowControls(TForm1& form) : form_(form) {}
  void HideWindow() override { form_.setVisible(false); }
  void ShowPrintButton() override { form_.PrintGraphBtn->setVisible(true); }
  void HidePrintButton() override { form_.PrintGraphBtn->setVisible(false); }
  // The box's handler follows its state, so the box and the chart agree.
  void Uncheck3DCheckBox() override { form_.CheckBox3D->setChecked(false); }
  void Hide3DCheckBox() override { form_.CheckBox3D->setVisible(false); }

 private:
  TForm1& form_;
};
