// tarvo-inspect beside its report: the examples pass it, the nearest names it offers, its command
// line and its output, the host example of the README, and the plain window that the checker
// follows agrees with the real one.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <regex>
#include <set>

#include "dbf/dbffile.h"
#include "dbfwrite/dbfwriter.h"
#include "inspect/nearestname.h"
#include "inspectcase.h"
#include "properties/chartoptions.h"
#include "properties/printsettings.h"
#include "properties/propertyfile.h"
#include "properties/valuelist.h"
#include "properties/windowmodel.h"
#include "startup/chartdefaults.h"
#include "support/runprogram.h"
#include "support/tablerows.h"
#include "window/tchart.h"
#include "window/tform1.h"
#include "window/windowcontrols.h"

using namespace inspect_test;

namespace {

// The examples draw their charts without a warning; the hard cases under edge/ draw theirs too,
// and warn only of what their size leaves out.
TEST(InspectExamples, EveryExampleDrawsItsChartWithoutAWarning) {
  const QDir examples(EXAMPLES_DIR), edge(EXAMPLES_DIR "/edge");
  QStringList names = examples.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& name : edge.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    names.push_back("edge/" + name);
  }
  int inspected = 0;
  for (const QString& name : names) {
    const QDir folder(examples.filePath(name));
    if (!folder.exists("ChartPro.DBF")) continue;
    const RunResult result =
        RunProgram(TARVO_INSPECT_PATH, {"--strict", "ChartPro.DBF", "ChartDat.DBF"},
                   folder.path().toStdString());
    const std::string& report = result.standardOutput;
    if (!name.startsWith("edge/")) {
      EXPECT_EQ(result.exitCode, 0) << name.toStdString() << "\n" << report;
      EXPECT_TRUE(report.ends_with("\nverdict: draws, 0 warnings\n")) << name.toStdString();
    } else {
      EXPECT_NE(report.find("\nverdict: draws, "), std::string::npos) << report;
      const auto layout = report.find("\nLayout: "), first = report.find("warning: ");
      EXPECT_TRUE(first == std::string::npos || first > layout) << name.toStdString() << report;
    }
    ++inspected;
  }
  EXPECT_GE(inspected, 20);
}

// Every text one slip of the keyboard away from `text`: a letter of `alphabet` replaced,
// inserted or deleted, or two neighbours swapped. Built from the definition, letter by letter.
std::set<std::string> OneSlipAway(const std::string& text, std::string_view alphabet) {
  std::set<std::string> texts;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    for (const char letter : alphabet) {
      texts.insert(text.substr(0, i) + letter + text.substr(i));
      if (i < text.size()) texts.insert(text.substr(0, i) + letter + text.substr(i + 1));
    }
    if (i < text.size()) texts.insert(text.substr(0, i) + text.substr(i + 1));
    if (i + 1 < text.size()) {
      std::string swapped = text;
      std::swap(swapped[i], swapped[i + 1]);
      texts.insert(swapped);
    }
  }
  texts.erase(text);
  return texts;
}

// The names a text of fewer than five letters is near: the same name, or else those one slip
// away. A text is compared by its own letters alone, also where it is cut out of a longer line.
TEST(NearestNames, AShortTextFindsTheNamesOneSlipAwayWhereverItLies) {
  constexpr std::string_view kAlphabet = "ABQ";  // few letters: every slip is common
  std::mt19937 random(20261209);
  auto word = [&](std::size_t longest, std::string_view alphabet) {
    std::string letters(random() % (longest + 1), ' ');
    for (char& letter : letters) letter = alphabet[random() % alphabet.size()];
    return letters;
  };
  for (int i = 0; i < 5000; ++i) {
    const std::string names[] = {word(5, kAlphabet), word(5, kAlphabet), word(5, kAlphabet)};
    const std::string_view known[] = {names[0], names[1], names[2]};
    const std::string line = word(3, "AB") + "Q" + word(4, kAlphabet);
    const std::string_view cut = std::string_view(line).substr(line.find('Q') + 1);
    const std::string alone(cut);
    const std::set<std::string> slips = OneSlipAway(alone, kAlphabet);
    std::vector<std::string_view> expected;
    for (const std::string_view name : known) {
      if (name == alone) expected.push_back(name);
    }
    for (const std::string_view name : known) {
      if (expected.empty() || expected.front() != alone) {
        if (slips.contains(std::string(name))) expected.push_back(name);
      }
    }
    SCOPED_TRACE(line + " cut to " + alone + ", names " + names[0] + " " + names[1] + " " +
                 names[2]);
    EXPECT_EQ(NearestNames(alone, known), expected);
    EXPECT_EQ(NearestNames(cut, known), expected);
  }
}

// From five letters on a text may be two slips away from the name it means; shorter, one.
TEST(NearestNames, FiveLettersAllowTwoSlips) {
  const std::string_view known[] = {"PRINT", "NOSHOW", "2D"};
  const struct {
    std::string_view text;
    std::vector<std::string_view> nearest;
  } cases[] = {{"PRXXT", {"PRINT"}}, {"PRIXT", {"PRINT"}}, {"PXXXT", {}},
               {"PRXT", {}},         {"PRNT", {"PRINT"}},  {"NOSXXW", {"NOSHOW"}}};
  for (const auto& c : cases) EXPECT_EQ(NearestNames(c.text, known), c.nearest) << c.text;
}

TEST(InspectCommandLine, TellsItsExitStatusesAndRefusesWhatItDoesNotKnow) {
  const std::string here = QDir::tempPath().toStdString();
  const RunResult help = RunProgram(TARVO_INSPECT_PATH, {"--help"}, here);
  EXPECT_EQ(help.exitCode, 0);
  for (const char* told :
       {"0  the run would draw its chart (with --strict: and there is no warning)",
        "1  the run would end with a message", "verdict: draws, N warnings",
        "verdict: ends with a message, N warnings", "verdict: makes nothing, N warnings"}) {
    EXPECT_NE(help.standardOutput.find(told), std::string::npos) << told;
  }
  const RunResult version = RunProgram(TARVO_INSPECT_PATH, {"--version"}, here);
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_TRUE(
      std::regex_match(version.standardOutput, std::regex("tarvo-inspect [0-9]+(\\.[0-9]+)+\n")))
      << version.standardOutput;
  for (const auto& wrong : std::vector<std::vector<std::string>>{
           {"only-one.DBF"}, {"a", "b", "c"}, {"--colour", "P.DBF", "D.DBF"}}) {
    const RunResult result = RunProgram(TARVO_INSPECT_PATH, wrong, here);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.standardOutput, "");
    EXPECT_NE(result.standardError.find("usage: tarvo-inspect"), std::string::npos);
  }
}

// The names are trimmed as the program trims them; a report that cannot be written is a failure.
TEST(InspectOutput, TrimsTheNamesAndFailsWhenTheReportIsLost) {
  const std::string example = EXAMPLES_DIR "/sales";
  const RunResult trimmed =
      RunProgram(TARVO_INSPECT_PATH, {" ChartPro.DBF", "ChartDat.DBF\t"}, example);
  EXPECT_EQ(trimmed.exitCode, 0) << trimmed.standardOutput;
  const RunResult lost = RunProgram(
      "/bin/sh", {"-c", "\"$0\" ChartPro.DBF ChartDat.DBF >/dev/full", TARVO_INSPECT_PATH},
      example);
  EXPECT_EQ(lost.exitCode, 3);
  EXPECT_EQ(lost.standardError, "tarvo-inspect: cannot write to standard output: " +
                                    std::string(std::strerror(ENOSPC)) + "\n");
}

TEST(HostExample, WritesChecksAndDrawsFromCsvAsTheReadmeShows) {
  QTemporaryDir out;
  const std::string path = std::string(TARVOCHART_DIR) + ":" + DBFWRITE_DIR + ":" + INSPECT_DIR +
                           ":" + qEnvironmentVariable("PATH").toStdString();
  const RunResult result =
      RunProgram(EXAMPLES_DIR "/host/host.sh", {out.path().toStdString()}, out.path().toStdString(),
                 "", {"PATH=" + path, "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(result.standardError, "");
  EXPECT_EQ(QImage(out.filePath("revenue.png")).size(), QSize(720, 450));
  QFile report(out.filePath("inspect.txt"));
  ASSERT_TRUE(report.open(QIODevice::ReadOnly));
  EXPECT_TRUE(report.readAll().contains("2 vertical bar series"));
}

// The checker follows the property pass on plain controls; they must end as the real ones do.
class WindowModelAgrees : public ::testing::TestWithParam<Rows> {};

TEST_P(WindowModelAgrees, WithTheRealWindowAfterTheSameRecords) {
  QTemporaryDir dir;
  const std::string name = dir.filePath("P.DBF").toStdString();
  WriteDbf(name, PropertyTable(GetParam()));
  DbfFile table;
  ASSERT_TRUE(table.Open(name));
  table.ReadHeader();

  // The same records through the defaults and the keywords, on the window and on the model.
  const auto readOnto = [&](WindowEffects& window, chart::ChartDocument& chart, bool& skipRun) {
    ChartOptions options;
    PrintSettings print;
    ValueList list;
    ApplyChartDefaults(chart, window, options);
    KeywordTargets targets{window, chart, skipRun, options, print, list};
    ReadPropertyFile(table, targets);
  };
  TForm1 form;
  form.show();
  // Hidden as a record may leave them, so that the defaults must show them again.
  form.PrintGraphBtn->hide();
  WindowControls controls(form);
  bool formSkipRun = false;
  readOnto(controls, form.Chart1->Document(), formSkipRun);

  WindowModel model;
  model.printButtonVisible = false;
  chart::ChartDocument chart;
  bool modelSkipRun = false;
  readOnto(model, chart, modelSkipRun);

  EXPECT_EQ(model.windowVisible, form.isVisible());
  EXPECT_EQ(model.checkBoxChecked, form.CheckBox3D->isChecked());
  EXPECT_EQ(chart.Model().view3D, form.Chart1->Document().Model().view3D);
  EXPECT_EQ(model.checkBoxVisible, !form.CheckBox3D->isHidden());
  EXPECT_EQ(model.printButtonVisible, !form.PrintGraphBtn->isHidden());
  EXPECT_EQ(modelSkipRun, formSkipRun);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, WindowModelAgrees,
    ::testing::Values(Rows{},
                      Rows{Row("DATASETCOUNT", "2"), Row("TOPTITLE", "A"), Row("TOPTITLE", ""),
                           Row("LEFTAXISTITLE", "L"), Row("BOTTOMAXISTITLE", "B"),
                           Row("DATASETTITLE", "T", "2")},
                      Rows{Row("2D"), Row("NO3DCHECKBOX"), Row("NOPRINTBUTTON"), Row("NOSHOW"),
                           Row("DATASETTITLE", "beyond", "3")}));

}  // namespace
