#include "tform1.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include "tchart.h"

namespace {

TEST(ChartWindow, HasTheDesignedLayout) {
  TForm1 form;
  EXPECT_EQ(form.windowTitle(), "Chart");
  EXPECT_EQ(form.size(), QSize(632, 453));  // inside a 640 x 480 frame
  EXPECT_EQ(form.Chart1->geometry(), QRect(24, 8, 585, 401));
  EXPECT_EQ(form.CheckBox3D->geometry(), QRect(471, 423, 49, 20));
  EXPECT_EQ(form.PrintGraphBtn->geometry(), QRect(367, 421, 89, 25));
  EXPECT_EQ(form.CheckBox3D->text(), "3D");
  EXPECT_EQ(form.PrintGraphBtn->text(), "Print Graph");
  EXPECT_TRUE(form.CheckBox3D->isChecked());
  EXPECT_TRUE(form.CheckBox3D->font().bold());
  EXPECT_TRUE(form.PrintGraphBtn->font().bold());
  EXPECT_FALSE(form.font().bold());
  EXPECT_EQ(form.Chart1->Margin(1), 2);
  EXPECT_EQ(form.Chart1->Title().lines, std::vector<std::string>{""});
  EXPECT_EQ(form.Chart1->SeriesCount(), 0);
}

TEST(ChartWindow, TheBoxSwitchesThe3DView) {
  TForm1 form;
  form.show();
  QTest::mouseClick(form.CheckBox3D, Qt::LeftButton);
  EXPECT_FALSE(form.CheckBox3D->isChecked());
  EXPECT_FALSE(form.Chart1->View3D());
  QTest::mouseClick(form.CheckBox3D, Qt::LeftButton);
  EXPECT_TRUE(form.Chart1->View3D());
  // A change made by the program goes through the same handler.
  form.CheckBox3D->setChecked(false);
  EXPECT_FALSE(form.Chart1->View3D());
}

TEST(ChartWindow, EscapeClosesWhicheverControlHasTheFocus) {
  for (const char* focus : {"box", "button", "window"}) {
    TForm1 form;
    form.show();
    QWidget* target = std::string(focus) == "box"      ? static_cast<QWidget*>(form.CheckBox3D)
                      : std::string(focus) == "button" ? static_cast<QWidget*>(form.PrintGraphBtn)
                                                       : static_cast<QWidget*>(&form);
    QTest::keyClick(target, Qt::Key_A);
    QTest::keyClick(target, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_TRUE(form.isVisible()) << focus;
    QTest::keyClick(target, Qt::Key_Escape, Qt::ControlModifier);
    EXPECT_FALSE(form.isVisible()) << focus;
  }
}

TEST(ChartWindow, EscapeActsOnReleaseNotOnPress) {
  TForm1 form;
  form.show();
  QTest::keyPress(form.PrintGraphBtn, Qt::Key_Escape);
  EXPECT_TRUE(form.isVisible());
  QTest::keyRelease(form.PrintGraphBtn, Qt::Key_Escape);
  EXPECT_FALSE(form.isVisible());
}

}  // namespace
