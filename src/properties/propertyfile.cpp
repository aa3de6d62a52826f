#include "propertyfile.h"

#include <QCheckBox>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <utility>

#include "chartoptions.h"
#include "chartstyle.h"
#include "dbffile.h"
#include "digitonlynumber.h"
#include "fielderror.h"
#include "printsettings.h"
#include "runtime.h"
#include "tchart.h"
#include "valuelist.h"

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

// Records past the tenth page text are ignored: the page has room for ten.
void AddPageText(const PropertyRecord& record, PropertyTargets& targets) {
  PrintSettings& print = targets.printSettings;
  if (print.pageTextCount >= PrintSettings::kMaxPageTexts) return;
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

void SetChartStyle(const PropertyRecord& record, PropertyTargets& targets) {
  targets.options.chartStyle = AnsiUpperCase(record.value);
  targets.options.chartStyleRecord = record.number;
}

void ShowDataLabels(const PropertyRecord&, PropertyTargets& targets) {
  targets.options.dataLabels = true;
}

void SetPrintMargins(const PropertyRecord& record, PropertyTargets& targets) {
  PrintSettings& print = targets.printSettings;
  ValueList& list = targets.valueList;
  SplitValue(record, list);
  print.leftMargin = ItemNumber(record, list, 1, "left margin");
  print.rightMargin = ItemNumber(record, list, 2, "right margin");
  print.topMargin = ItemNumber(record, list, 3, "top margin");
  print.bottomMargin = ItemNumber(record, list, 4, "bottom margin");
}

void PrintAtStart(const PropertyRecord&, PropertyTargets& targets) {
  targets.options.printAtStart = true;
}

void ShowPrintDialog(const PropertyRecord&, PropertyTargets& targets) {
  targets.printSettings.showPrintDialog = true;
}

void SetDataSetCount(const PropertyRecord& record, PropertyTargets& targets) {
  const int count = DecodeField(record.table, record.number, "value",
                                [&] { return DigitOnlyNumber(record.value); });
  targets.options.dataSetCount = std::min(count, ChartOptions::kMaxDataSets);
}

void RunWithoutWindow(const PropertyRecord&, PropertyTargets& targets) {
  targets.skipRun = true;
  targets.window.setVisible(false);
}

void SaveBitmap(const PropertyRecord& record, PropertyTargets& targets) {
  ChartOptions& options = targets.options;
  ValueList& list = targets.valueList;
  SplitValue(record, list);
  options.bitmapFile = list.Entry(1);
  options.bitmapHeight = ItemNumber(record, list, 2, "height");
  options.bitmapWidth = ItemNumber(record, list, 3, "width");
  options.saveBitmap = true;
}

// The box's handler follows its state, so the box and the chart agree.
void ShowFlat(const PropertyRecord&, PropertyTargets& targets) {
  targets.chart.SetView3D(false);
  targets.checkBox3D.setChecked(false);
}

void Hide3DCheckBox(const PropertyRecord&, PropertyTargets& targets) {
  targets.checkBox3D.setVisible(false);
}

void HidePrintButton(const PropertyRecord&, PropertyTargets& targets) {
  targets.printButton.setVisible(false);
}

void AddTopTitleLine(const PropertyRecord& record, PropertyTargets& targets) {
  targets.chart.AddTitleLine(record.value);
}

void SetLeftAxisTitle(const PropertyRecord& record, PropertyTargets& targets) {
  targets.chart.SetLeftAxisTitle(record.value);
}

void SetBottomAxisTitle(const PropertyRecord& record, PropertyTargets& targets) {
  targets.chart.SetBottomAxisTitle(record.value);
}

// Data-set numbers 1 to count + 1 are taken; the slot of count + 1 is kept but never applied.
// Numbers of 0 or less have no slot and are ignored.
bool AcceptsDataSet(const ChartOptions& options, int index) {
  return index >= 0 && index <= options.dataSetCount && index < int(options.dataSetTitles.size());
}

void SetDataSetTitle(const PropertyRecord& record, PropertyTargets& targets) {
  ChartOptions& options = targets.options;
  if (!AcceptsDataSet(options, record.dataSetIndex)) return;
  if (!record.value.empty()) options.dataSetTitles[std::size_t(record.dataSetIndex)] = record.value;
  targets.chart.SetLegendVisible(true);
}

void SetDataSetColor(const PropertyRecord& record, PropertyTargets& targets) {
  ChartOptions& options = targets.options;
  if (!AcceptsDataSet(options, record.dataSetIndex)) return;
  options.dataSetColors[std::size_t(record.dataSetIndex)] = record.value;
}

using KeywordEffect = void (*)(const PropertyRecord&, PropertyTargets&);

// Tried in this order; the first equal keyword acts.
constexpr std::array<std::pair<std::string_view, KeywordEffect>, 17> kKeywords = {{
    {"PRINTPAGETEXT", AddPageText},
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
    {"DATASETTITLE", SetDataSetTitle},
    {"DATASETCOLOR", SetDataSetColor},
}};

// The numbers are converted only so that a record with a bad one is refused.
int NumberField(const std::string& table, std::uint32_t number, const std::string& field,
                std::string_view text) {
  return DecodeField(table, number, field, [&] { return StrToInt(Trim(text)); });
}

}  // namespace

PropertyRecord DecodePropertyRecord(const std::string& table, std::uint32_t number,
                                    std::string_view text) {
  NumberField(table, number, "leadNumber", Field(text, 1, 1));
  const int dataSetNumber = NumberField(table, number, "dataSetNumber", Field(text, 2, 3));
  return PropertyRecord{.table = table,
                        .number = number,
                        .dataSetIndex = dataSetNumber - 1,
                        .keyword = UpperCase(Trim(Field(text, 4, 33))),
                        .value = Trim(Field(text, 34, 133))};
}

void ReadPropertyFile(const DbfFile& propertyFile, PropertyTargets& targets) {
  targets.printSettings.pageTextCount = 0;
  for (RecordCursor record(propertyFile); record.Next();) {
    if (!record.IsActive()) continue;
    const PropertyRecord decoded =
        DecodePropertyRecord(propertyFile.FileName(), record.Number(), record.Text());
    ApplyPropertyRecord(decoded, targets);
  }
}

void ApplyPropertyRecord(const PropertyRecord& record, PropertyTargets& targets) {
  const auto match = std::find_if(kKeywords.begin(), kKeywords.end(),
                                  [&](const auto& entry) { return entry.first == record.keyword; });
  if (match != kKeywords.end()) match->second(record, targets);
}

std::optional<Refusal> CheckPropertyOptions(const ChartOptions& options) {
  if (options.dataSetCount == 0) return Refusal{kNoDataSetText, kPropertyProblemCaption};
  // A style that names no chart is refused like "NONE", before any series would be addressed.
  if (options.chartStyle == "NONE" || ChartStyleOf(options.chartStyle) == ChartStyleKind::Unknown) {
    return Refusal{kNoChartStyleText, kPropertyProblemCaption};
  }
  return std::nullopt;
}
