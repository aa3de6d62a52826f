#include "properties/propertyfile.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "chart/document/chartdocument.h"
#include "dbf/dbffile.h"
#include "dbf/fielderror.h"
#include "dbf/recordlayout.h"
#include "keywords/keywordtable.h"
#include "properties/chartoptions.h"
#include "properties/chartstyle.h"
#include "properties/digitonlynumber.h"
#include "properties/printsettings.h"
#include "properties/valuelist.h"
#include "runtime/numbers.h"
#include "runtime/text.h"

namespace {

// Splits the record's value into the pass's list; an empty or ";"-only value is refused.
void SplitValue(const PropertyRecord& record, ValueList& list) {
  DecodeField(record.table, record.number, "value",
              [&] { return SplitValueList(record.value, list); });
}

std::string ItemField(int item, const std::string& meaning) {
  return "value item " + std::to_string(item) + " (" + meaning + ")";
}

int ItemNumber(const PropertyRecord& record, const ValueList& list, int item,
               const std::string& meaning) {
  return DecodeField(record.table, record.number, ItemField(item, meaning),
                     [&] { return DigitOnlyNumber(list.Entry(item)); });
}

int ItemInteger(const PropertyRecord& record, const ValueList& list, int item,
                const std::string& meaning) {
  return DecodeField(record.table, record.number, ItemField(item, meaning),
                     [&] { return StrToInt(list.Entry(item)); });
}

void AddPageText(const PropertyRecord& record, KeywordTargets& targets) {
  PrintSettings& print = targets.printSettings;
  ValueList& list = targets.valueList;
  SplitValue(record, list);
  PageTextItem item;
  item.text = list.Entry(1);
  item.x = ItemNumber(record, list, 2, "x");
  item.y = ItemNumber(record, list, 3, "y");
  item.fontName = list.Entry(4);
  item.fontSize = ItemInteger(record, list, 5, "font size");
  item.fontStyle = list.Entry(6);
  print.pageTexts[std::size_t(print.pageTextCount)] = item;
  ++print.pageTextCount;
}

void SetChartStyle(const PropertyRecord& record, KeywordTargets& targets) {
  targets.options.chartStyle = ParseChartStyle(AnsiUpperCase(record.value));
  targets.options.chartStyleRecord = record.number;
}

void ShowDataLabels(const PropertyRecord&, KeywordTargets& targets) {
  targets.options.dataLabels = true;
}

void SetPrintMargins(const PropertyRecord& record, KeywordTargets& targets) {
  PrintSettings& print = targets.printSettings;
  ValueList& list = targets.valueList;
  SplitValue(record, list);
  print.leftMargin = ItemNumber(record, list, 1, "left margin");
  print.rightMargin = ItemNumber(record, list, 2, "right margin");
  print.topMargin = ItemNumber(record, list, 3, "top margin");
  print.bottomMargin = ItemNumber(record, list, 4, "bottom margin");
}

void PrintAtStart(const PropertyRecord&, KeywordTargets& targets) {
  targets.options.printAtStart = true;
}

void ShowPrintDialog(const PropertyRecord&, KeywordTargets& targets) {
  targets.printSettings.showPrintDialog = true;
}

void SetDataSetCount(const PropertyRecord& record, KeywordTargets& targets) {
  const int count = DecodeField(record.table, record.number, "value",
                                [&] { return DigitOnlyNumber(record.value); });
  targets.options.dataSetCount = std::min(count, ChartOptions::kMaxDataSets);
}

void RunWithoutWindow(const PropertyRecord&, KeywordTargets& targets) {
  targets.skipRun = true;
  targets.window.HideWindow();
}

void SaveBitmap(const PropertyRecord& record, KeywordTargets& targets) {
  ChartOptions& options = targets.options;
  ValueList& list = targets.valueList;
  SplitValue(record, list);
  options.bitmapFile = list.Entry(1);
  options.bitmapHeight = ItemNumber(record, list, 2, "height");
  options.bitmapWidth = ItemNumber(record, list, 3, "width");
  options.saveBitmap = true;
}

void ShowFlat(const PropertyRecord&, KeywordTargets& targets) {
  targets.chart.SetView3D(false);
  targets.window.Uncheck3DCheckBox();
}

void Hide3DCheckBox(const PropertyRecord&, KeywordTargets& targets) {
  targets.window.Hide3DCheckBox();
}

void HidePrintButton(const PropertyRecord&, KeywordTargets& targets) {
  targets.window.HidePrintButton();
}

void AddTopTitleLine(const PropertyRecord& record, KeywordTargets& targets) {
  targets.chart.AddTitleLine(record.value);
}

void SetLeftAxisTitle(const PropertyRecord& record, KeywordTargets& targets) {
  targets.chart.SetLeftAxisTitle(record.value);
}

void SetBottomAxisTitle(const PropertyRecord& record, KeywordTargets& targets) {
  targets.chart.SetBottomAxisTitle(record.value);
}

void SetDataSetTitle(const PropertyRecord& record, KeywordTargets& targets) {
  ChartOptions& options = targets.options;
  if (!record.value.empty()) options.dataSetTitles[std::size_t(record.dataSetIndex)] = record.value;
  targets.chart.SetLegendVisible(true);
}

void SetDataSetColor(const PropertyRecord& record, KeywordTargets& targets) {
  targets.options.dataSetColors[std::size_t(record.dataSetIndex)] = record.value;
}

// Guards: whether a record of the keyword may act, checked before it does.
using KeywordGuard = RecordOutcome (*)(const PropertyRecord&, const KeywordTargets&);

RecordOutcome AlwaysActs(const PropertyRecord&, const KeywordTargets&) {
  return RecordOutcome::Applied;
}

// Records past the tenth page text are ignored: the page has room for ten.
RecordOutcome PageTextRoom(const PropertyRecord&, const KeywordTargets& targets) {
  return targets.printSettings.pageTextCount < PrintSettings::kMaxPageTexts
             ? RecordOutcome::Applied
             : RecordOutcome::PageTextsFull;
}

// Data-set numbers 1 to count + 1 are taken; the slot of count + 1 is kept but never applied.
// Numbers of 0 or less have no slot and are ignored.
RecordOutcome DataSetTaken(const PropertyRecord& record, const KeywordTargets& targets) {
  const ChartOptions& options = targets.options;
  const int index = record.dataSetIndex;
  const bool taken =
      index >= 0 && index <= options.dataSetCount && index < int(options.dataSetTitles.size());
  return taken ? RecordOutcome::Applied : RecordOutcome::DataSetNotTaken;
}

using KeywordEffect = void (*)(const PropertyRecord&, KeywordTargets&);

struct Keyword {
  std::string_view name;
  KeywordEffect effect;
  KeywordGuard guard = AlwaysActs;
};

// Tried in this order; the first equal keyword acts.
constexpr std::array<Keyword, 17> kKeywords = {{
    {"PRINTPAGETEXT", AddPageText, PageTextRoom},
    {"CHARTSTYLE", SetChartStyle},
    {"DATALABELS", ShowDataLabels},
    {"PRINTPOS", SetPrintMargins},
    {"PRINT", PrintAtStart},
    {"PRINTSETUP", ShowPrintDialog},
    {"DATASETCOUNT", SetDataSetCount},
    {"NOSHOW", RunWithoutWindow},
    {"BITMAPFILE", SaveBitmap},
    {"2D", ShowFlat},
    {"NO3DCHECKBOX", Hide3DCheckBox},
    {"NOPRINTBUTTON", HidePrintButton},
    {"TOPTITLE", AddTopTitleLine},
    {"LEFTAXISTITLE", SetLeftAxisTitle},
    {"BOTTOMAXISTITLE", SetBottomAxisTitle},
    {"DATASETTITLE", SetDataSetTitle, DataSetTaken},
    {"DATASETCOLOR", SetDataSetColor, DataSetTaken},
}};

// The effects follow the format's table of keywords name for name, and the data-set guard
// stands exactly where the format says a keyword reads the record's data-set number.
constexpr bool FollowsTheKeywordTable() {
  for (std::size_t i = 0; i < kKeywords.size(); ++i) {
    const keywords::KeywordName& format = keywords::kKeywordNames[i];
    if (kKeywords[i].name != format.name) return false;
    if ((kKeywords[i].guard == DataSetTaken) != format.takesDataSet) return false;
  }
  return true;
}
static_assert(kKeywords.size() == keywords::kKeywordNames.size() && FollowsTheKeywordTable());

const Keyword* FindKeyword(std::string_view name) {
  const auto match = std::find_if(kKeywords.begin(), kKeywords.end(),
                                  [&](const Keyword& keyword) { return keyword.name == name; });
  return match == kKeywords.end() ? nullptr : &*match;
}

// The numbers are converted only so that a record with a bad one is refused.
int NumberField(const std::string& table, std::uint32_t number, const std::string& field,
                std::string_view text) {
  return DecodeField(table, number, field, [&] { return StrToInt(text); });
}

}  // namespace

PropertyFields PropertyFieldsOf(std::string_view text) {
  using namespace property_record;
  return PropertyFields{.leadNumber = Trim(FieldText(text, kLeadNumber)),
                        .dataSetNumber = Trim(FieldText(text, kDataSetNumber)),
                        .keyword = Trim(FieldText(text, kKeyword)),
                        .value = Trim(FieldText(text, kValue))};
}

PropertyRecord DecodePropertyRecord(const std::string& table, std::uint32_t number,
                                    std::string_view text) {
  PropertyFields fields = PropertyFieldsOf(text);
  NumberField(table, number, "leadNumber", fields.leadNumber);
  const int dataSetNumber = NumberField(table, number, "dataSetNumber", fields.dataSetNumber);
  return PropertyRecord{.table = table,
                        .number = number,
                        .dataSetIndex = dataSetNumber - 1,
                        .keyword = UpperCase(fields.keyword),
                        .value = std::move(fields.value)};
}

void ReadPropertyFile(const DbfFile& propertyFile, KeywordTargets& targets,
                      const PropertyObserver& observer) {
  targets.printSettings.pageTextCount = 0;
  for (RecordCursor record(propertyFile); record.Next();) {
    RecordOutcome outcome = RecordOutcome::NotLive;
    if (record.IsActive()) {
      const PropertyRecord decoded =
          DecodePropertyRecord(propertyFile.FileName(), record.Number(), record.Text());
      outcome = ApplyPropertyRecord(decoded, targets);
    }
    if (observer) observer(record.Number(), record.Text(), outcome);
  }
}

RecordOutcome ApplyPropertyRecord(const PropertyRecord& record, KeywordTargets& targets) {
  const Keyword* keyword = FindKeyword(record.keyword);
  if (!keyword) return RecordOutcome::UnknownKeyword;
  const RecordOutcome outcome = keyword->guard(record, targets);
  if (outcome == RecordOutcome::Applied) keyword->effect(record, targets);
  return outcome;
}

std::optional<Refusal> CheckPropertyOptions(const ChartOptions& options) {
  if (options.dataSetCount == 0) {
    return Refusal{kNoDataSetText, kPropertyProblemCaption, RefusedBy::DataSetCount};
  }
  // "NONE", and any style that names no kind of chart, before any series would be addressed.
  if (!options.chartStyle.kind) {
    return Refusal{kNoChartStyleText, kPropertyProblemCaption, RefusedBy::ChartStyle};
  }
  return std::nullopt;
}
