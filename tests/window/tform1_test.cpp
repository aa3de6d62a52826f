#include "window/tform1.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <optional>
#include <vector>

#include "platform/application/guiprocess.h"
#include "startup/startupoutputs.h"
#include "support/messagerecorder.h"
#include "support/printserver.h"
#include "support/tablefolder.h"
#include "support/tablerows.h"
#include "window/tchart.h"
#include "window/windowcontrols.h"

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
  EXPECT_EQ(form.Chart1->Document().Margin(1), 2);
  EXPECT_EQ(form.Chart1->Document().Model().title.lines, std::vector<std::string>{""});
  EXPECT_EQ(form.Chart1->Document().SeriesCount(), 0);
}

// Whether a window can be shown at all, from the environment alone: a display, or a platform
// other than offscreen that the host chose.
TEST(ChartWindow, OnlyADisplayOrAPlatformOtherThanOffscreenLetsAWindowShow) {
  const char* const names[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
  std::vector<std::optional<QByteArray>> saved;
  for (const char* name : names) {
    saved.push_back(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
  }
  const struct {
    const char* values[3];  // as `names`
    bool named;
  } cases[] = {
      {{"", "", ""}, false},
      {{"", ":0", ""}, true},
      {{"", "", "wayland-0"}, true},
      {{"  ", ":0", ""}, true},
      {{"offscreen", ":0", "wayland-0"}, false},
      {{"offscreen:fontengine=freetype", ":0", ""}, false},
      {{"xcb", "", ""}, true},
      {{"offscreen;xcb", "", ""}, true},
      {{" ;offscreen", ":0", ""}, false},
  };
  for (const auto& c : cases) {
    for (int i = 0; i < 3; ++i) qputenv(names[i], c.values[i]);
    EXPECT_EQ(DisplayNamed(), c.named)
        << c.values[0] << " / " << c.values[1] << " / " << c.values[2];
  }
  for (int i = 0; i < 3; ++i) {
    saved[i] ? qputenv(names[i], *saved[i]) : qunsetenv(names[i]);
  }
}

TEST(ChartWindow, TheBoxSwitchesThe3DView) {
  TForm1 form;
  form.show();
  QTest::mouseClick(form.CheckBox3D, Qt::LeftButton);
  EXPECT_FALSE(form.CheckBox3D->isChecked());
  EXPECT_FALSE(form.Chart1->Document().Model().view3D);
  QTest::mouseClick(form.CheckBox3D, Qt::LeftButton);
  EXPECT_TRUE(form.Chart1->Document().Model().view3D);
  // A change made by the program goes through the same handler.
  form.CheckBox3D->setChecked(false);
  EXPECT_FALSE(form.Chart1->Document().Model().view3D);
}

// What the property keywords change at once reaches the widgets; the property tests see the same
// changes on the controls as plain data.
TEST(ChartWindow, TheWindowKeywordsChangeItsWidgets) {
  TForm1 form;
  form.show();
  WindowControls controls(form);
  controls.Uncheck3DCheckBox();
  EXPECT_FALSE(form.CheckBox3D->isChecked());
  EXPECT_FALSE(form.Chart1->Document().Model().view3D);
  controls.Hide3DCheckBox();
  controls.HidePrintButton();
  EXPECT_FALSE(form.CheckBox3D->isVisible());
  EXPECT_FALSE(form.PrintGraphBtn->isVisible());
  EXPECT_TRUE(form.Chart1->isVisible());
  controls.ShowPrintButton();
  EXPECT_TRUE(form.PrintGraphBtn->isVisible());
  controls.HideWindow();
  EXPECT_FALSE(form.isVisible());
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
  // A button held down by the space bar takes Escape for itself, to let go: the window sees the
  // key first all the same.
  TForm1 form;
  form.show();
  QTest::keyPress(form.PrintGraphBtn, Qt::Key_Space);
  ASSERT_TRUE(form.PrintGraphBtn->isDown());
  QTest::keyClick(form.PrintGraphBtn, Qt::Key_Escape);
  EXPECT_FALSE(form.isVisible());
}

TEST(ChartWindow, EscapeActsOnReleaseNotOnPress) {
  TForm1 form;
  form.show();
  QTest::keyPress(form.PrintGraphBtn, Qt::Key_Escape);
  EXPECT_TRUE(form.isVisible());
  // Held down, the key repeats its press and release; the window waits for the real release.
  QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(form.PrintGraphBtn, &repeated);
  EXPECT_TRUE(form.isVisible());
  QTest::keyRelease(form.PrintGraphBtn, Qt::Key_Escape);
  EXPECT_FALSE(form.isVisible());
}

// Escape as the window receives it from the system: presses and releases with their timestamps.
// A held key repeats as a release and a press of one timestamp, which the system does not always
// mark as a repeat; "p" is a press that it marked.
struct EscapeSequence {
  const char* name;
  std::vector<std::pair<char, unsigned long>> keys;  // 'P' press, 'p' marked repeat, 'R' release
  bool closes;
};

const EscapeSequence kEscapeSequences[] = {
    {"PressAndRelease", {{'P', 100}, {'R', 180}}, true},
    {"HeldOnTheWindowNotYetUp",
     {{'P', 100}, {'R', 760}, {'P', 760}, {'R', 790}, {'P', 790}, {'R', 820}, {'P', 820}},
     false},
    {"HeldOnTheWindowThenUp",
     {{'P', 100}, {'R', 760}, {'P', 760}, {'R', 790}, {'P', 790}, {'R', 1200}},
     true},
    {"HeldWithMarkedRepeats", {{'P', 100}, {'p', 760}, {'p', 790}, {'R', 1200}}, true},
    // The press went to a menu or a dialog, which closed; its repeats and release reach the window.
    {"HeldInAMenu", {{'R', 760}, {'P', 760}, {'R', 790}, {'P', 790}, {'R', 1200}}, false},
    {"HeldInAMenuMarked", {{'p', 760}, {'p', 790}, {'R', 1200}}, false},
};

TEST(ChartWindow, EscapeClosesOnlyAtTheRealReleaseOfAPressItReceived) {
  for (const EscapeSequence& c : kEscapeSequences) {
    TForm1 form;
    form.show();
    for (const auto& [kind, time] : c.keys) {
      QKeyEvent key(kind == 'R' ? QEvent::KeyRelease : QEvent::KeyPress, Qt::Key_Escape,
                    Qt::NoModifier, QString(), kind == 'p');
      key.setTimestamp(time);
      QApplication::sendEvent(form.PrintGraphBtn, &key);
    }
    QTest::qWait(300);
    EXPECT_EQ(form.isVisible(), !c.closes) << c.name;
  }
}

// A refused pass shows its one message through the window's message path and ends start-up
// without a window.
TEST(ChartWindow, ARefusalShowsOneMessageAndSkipsTheRun) {
  MessageRecorder recorder("|");
  TableFolder folder;
  TForm1 form(folder.Path("missing.dbf"), folder.Write("d.dbf", Records(1, 8)));
  form.FormCreate();
  EXPECT_TRUE(form.skipRun);
  EXPECT_EQ(recorder.messages,
            std::vector<std::string>{"TarvoChart Notice:|Could not open file(s): " +
                                     form.propertyFileName + " or " + form.dataFileName});
}

TEST(ChartWindow, ASoundPassCentresTheWindowWithTheArrowCursor) {
  TableFolder folder;
  TForm1 form(
      folder.Write("p.dbf", PropertyTable({Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "PIE")})),
      folder.Write("d.dbf", DataTable(1, {{"1", "Jan", {{"1", ""}}}})));
  form.FormCreate();
  ASSERT_FALSE(form.skipRun);
  const QSize screen = QGuiApplication::primaryScreen()->size();
  EXPECT_EQ(form.pos(), CentredPosition(screen, form.frameGeometry().size()));
  EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(form.Chart1->Document().SeriesCount(), 1);
}

// Printing from the window, to this process's private print server. The cursor is put back
// after each test.
class WindowPrinting : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ProcessPrintServer().Ready()) GTEST_SKIP() << ProcessPrintServer().SkipReason();
    form_.printSettings.pageTextCount = 1;
    form_.printSettings.pageTexts[0] = {"Quarterly", 300, 300, "DejaVu Sans", 12, "b"};
    form_.show();
    // Another cursor is showing; printing leaves the default one, not this.
    QApplication::setOverrideCursor(Qt::CrossCursor);
  }
  void TearDown() override {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  }

  // Clicks "Print Graph"; the number of jobs that reached the server.
  std::size_t Click() {
    const std::size_t before = ProcessPrintServer().JobDocuments().size();
    QTest::mouseClick(form_.PrintGraphBtn, Qt::LeftButton);
    return ProcessPrintServer().JobDocuments().size() - before;
  }
  static bool CursorIs(Qt::CursorShape shape) {
    return QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == shape;
  }

  TForm1 form_;
  MessageRecorder recorder_;
};

TEST_F(WindowPrinting, EveryClickPrintsAndAFailureLeavesTheWindowOpen) {
  ASSERT_EQ(Click(), 1u);
  const std::string document = ProcessPrintServer().JobDocuments().back();
  EXPECT_NE(PdfText(document).find("Quarterly"), std::string::npos);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  ProcessPrintServer().Stop();
  QApplication::setOverrideCursor(Qt::CrossCursor);
  EXPECT_EQ(Click(), 0u);
  ASSERT_EQ(recorder_.messages.size(), 1u);
  EXPECT_EQ(recorder_.messages[0],
            "tarvochart: Cannot print the chart: no print server can be "
            "reached at " +
                ProcessPrintServer().Socket() + ".");
  EXPECT_TRUE(form_.isVisible());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  ProcessPrintServer().Restart();
  EXPECT_EQ(Click(), 1u);
  EXPECT_EQ(recorder_.messages.size(), 1u);
}

TEST_F(WindowPrinting, ThePrintDialogComesFirstWhenAsked) {
  form_.printSettings.showPrintDialog = true;
  recorder_.dialogAnswer = false;
  EXPECT_EQ(Click(), 0u);
  EXPECT_TRUE(CursorIs(Qt::CrossCursor)) << "a declined dialog leaves the cursor alone";
  recorder_.dialogAnswer = true;
  EXPECT_EQ(Click(), 1u);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(recorder_.dialogs, std::vector<std::string>(2, "Print"));
  EXPECT_TRUE(recorder_.messages.empty());
}

}  // namespace
