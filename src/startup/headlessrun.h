#pragma once
// A run without a window: the creation pass on a chart of its own, whose window keywords have
// no effect, with the outputs that the property table asks for. The program runs it where no
// display can be reached, and tarvo-batch runs one per job on its threads.

#include <functional>
#include <optional>
#include <string>

struct PrintSettings;
namespace chart {
class ChartDocument;
struct NumberLocale;
}  // namespace chart

// The message that ended a run, as the program shows it ("caption: text" on standard error).
struct RunMessage {
  std::string caption;
  std::string text;
};

// What a run without a window did.
struct HeadlessOutcome {
  std::optional<RunMessage> message;  // the refusal or the error that ended the run
  bool printed = false;               // the chart page went to the printer (PRINT)
  std::string imageFile;              // the image file written, named as the table names it
  bool windowAsked = false;           // no NOSHOW: a run with a display shows its window
};

// Prints the chart page with the run's print settings; throws Exception when it cannot.
using PrintRoutine =
    std::function<void(const chart::ChartDocument& chart, const PrintSettings& settings)>;

// Runs the pass on the two tables, named as the program takes them (relative to the current
// folder). Printing at start-up uses `print`, also when the property table asks for the print
// dialog: with no one to answer it, the page goes to the default destination as the dialog
// would send it. Any error ends the run with its message; nothing is thrown.
// The chart writes its numbers as `numbers` says (the caller's reader's locale).
HeadlessOutcome RunHeadless(const std::string& propertyName, const std::string& dataName,
                            const PrintRoutine& print, const chart::NumberLocale& numbers);
