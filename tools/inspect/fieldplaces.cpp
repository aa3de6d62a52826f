#include "inspect/fieldplaces.h"

#include <algorithm>
#include <optional>

#include "dbf/dbffile.h"
#include "inspect/report.h"
#include "properties/chartoptions.h"
#include "runtime/text.h"

namespace {

constexpr std::uint64_t kDescriptorsStart = 32;
constexpr std::uint64_t kDescriptorLength = 32;
constexpr char kDescriptorsEnd = 0x0D;
// The first live record among these gives the example of what the program reads instead.
constexpr std::uint32_t kRecordsLookedAt = 20;

FieldDescriptor DescriptorOf(std::string_view bytes, std::size_t first) {
  const std::string_view name = bytes.substr(0, std::min(bytes.find('\0'), std::size_t{11}));
  const auto length = static_cast<unsigned char>(bytes[16]);
  return {std::string(name), bytes[11], static_cast<unsigned char>(bytes[17]), {first, length}};
}

std::string BytesText(FieldSpan span) {
  if (span.width == 1) return "byte " + std::to_string(span.first);
  return "bytes " + std::to_string(span.first) + " to " + std::to_string(span.Last());
}

std::string Named(const FieldDescriptor& field) { return ToPlainLine(field.name); }

std::string ByteCount(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

// Which of the table's fields the bytes of `span` hold: "VALUE1 and the first byte of COLOR1".
std::string Covering(const std::vector<FieldDescriptor>& fields, FieldSpan span) {
  std::vector<std::string> parts;
  for (const FieldDescriptor& field : fields) {
    const std::size_t first = std::max(field.span.first, span.first);
    const std::size_t end = std::min(field.span.End(), span.End());
    if (first >= end) continue;
    if (end - first == field.span.width) {
      parts.push_back(Named(field));
    } else {
      const bool head = first == field.span.first;
      const std::size_t count = end - first;
      parts.push_back(std::string(head ? "the first " : "the last ") +
                      (count == 1 ? "byte" : ByteCount(count)) + " of " + Named(field));
    }
  }
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
  }
  return text.empty() ? "bytes past every field" : text;
}

std::optional<std::size_t> FirstMisplaced(const std::vector<FieldDescriptor>& fields,
                                          const std::vector<FixedField>& fixed) {
  for (std::size_t i = 0; i < std::min(fields.size(), fixed.size()); ++i) {
    if (fields[i].span.first != fixed[i].span.first || fields[i].span.width != fixed[i].span.width)
      return i;
  }
  return std::nullopt;
}

// How far the fields after field `i` lie from where the program reads them.
std::string LaterFieldsText(const std::vector<FieldDescriptor>& fields,
                            const std::vector<FixedField>& fixed, std::size_t i) {
  std::vector<std::int64_t> shifts;
  for (std::size_t j = i + 1; j < std::min(fields.size(), fixed.size()); ++j) {
    shifts.push_back(std::int64_t(fields[j].span.first) - std::int64_t(fixed[j].span.first));
  }
  if (shifts.empty()) return "";
  const auto [least, most] = std::ranges::minmax(shifts);
  if (least < 0 && most > 0) return ", and the fields after it lie elsewhere too";
  if (least == 0 && most == 0) return "";
  const std::int64_t near = least < 0 ? -most : least, far = least < 0 ? -least : most;
  const std::string direction = least < 0 ? " earlier" : " later";
  if (near == far) {
    return ", and every field after it lies " + ByteCount(std::size_t(far)) + direction +
           " than the program reads it";
  }
  return ", and the fields after it lie " + std::to_string(near) + " to " +
         ByteCount(std::size_t(far)) + direction + " than the program reads them";
}

// What the program reads in place of a field of the first live record, where the two differ.
std::string ExampleText(const DbfFile& table, const std::vector<FieldDescriptor>& fields,
                        const std::vector<FixedField>& fixed, std::size_t from) {
  const std::uint32_t last = std::min(table.recordCount, kRecordsLookedAt);
  for (std::uint32_t n = 1; n <= last; ++n) {
    if (!table.IsActive(n)) continue;
    const std::string text = table.RecordText(n);
    for (std::size_t i = from; i < std::min(fields.size(), fixed.size()); ++i) {
      const std::string read = Trim(FieldText(text, fixed[i].span));
      const std::string held = Trim(FieldText(text, fields[i].span));
      if (read == held) continue;
      return " In record " + std::to_string(n) + " the program reads " + fixed[i].what + " as " +
             Quoted(read) + ", where " + Named(fields[i]) + " holds " + Quoted(held) + ".";
    }
    return "";
  }
  return "";
}

// The fix, and how the writers that are known to place fields so get it right.
std::string FixText(const FieldDescriptor& field, const FixedField& fixed) {
  const std::string width = std::to_string(fixed.span.width);
  const std::string fix = " Write the field " + width + " bytes wide";
  if ((field.type == 'N' || field.type == 'F') && field.span.width + 1 == fixed.span.width) {
    return fix + " (LibreOffice Calc writes a column declared " + Named(field) + ",N," + width +
           "," + std::to_string(field.decimals) + " a byte narrower: declare it " + Named(field) +
           ",N," + std::to_string(field.span.width) + "," + std::to_string(field.decimals) +
           " followed by a text column of one byte, FILL,C,1, or as text, " + Named(field) + ",C," +
           width + ").";
  }
  if (field.span.width > fixed.span.width) {
    return fix +
           " (GDAL's ogr2ogr widens a field to fit its longest value: give every column its "
           "width in a .csvt file beside the CSV, this one " +
           std::string(field.type == 'C' ? "String(" : "Real(") + width +
           "), and keep its values within " + width + " bytes).";
  }
  return fix + ".";
}

}  // namespace

std::vector<FieldDescriptor> ReadFieldDescriptors(const DbfFile& table) {
  std::vector<FieldDescriptor> fields;
  std::size_t next = 1;
  for (std::uint64_t at = kDescriptorsStart; at + kDescriptorLength <= table.headerLength;
       at += kDescriptorLength) {
    const std::string bytes = table.ReadText(at, kDescriptorLength);
    if (bytes.size() < kDescriptorLength || bytes[0] == kDescriptorsEnd) break;
    fields.push_back(DescriptorOf(bytes, next));
    next = fields.back().span.End();
  }
  return fields;
}

std::vector<FixedField> FixedFields(TableKind kind) {
  if (kind == TableKind::Properties) {
    return {{"the lead number", property_record::kLeadNumber},
            {"the data-set number", property_record::kDataSetNumber},
            {"the keyword", property_record::kKeyword},
            {"the value", property_record::kValue}};
  }
  std::vector<FixedField> fields = {{"the lead number", data_record::kLeadNumber},
                                    {"the label", data_record::kLabel}};
  for (int j = 0; j < ChartOptions::kMaxDataSets; ++j) {
    const std::string dataSet = " of data set " + std::to_string(j + 1);
    fields.push_back({"the value" + dataSet, data_record::Value(j)});
    fields.push_back({"the colour" + dataSet, data_record::Color(j)});
  }
  return fields;
}

void ReportFieldPlaces(const DbfFile& table, TableKind kind, Warnings& warnings,
                       std::ostream& out) {
  const std::vector<FieldDescriptor> fields = ReadFieldDescriptors(table);
  const std::vector<FixedField> fixed = FixedFields(kind);
  const auto i = FirstMisplaced(fields, fixed);
  if (!i) return;
  const FieldDescriptor& field = fields[*i];
  const std::string where =
      field.span.width == 0 ? "takes no byte" : "lies at " + BytesText(field.span);
  const std::string text =
      Quoted(table.FileName()) + ": field " + std::to_string(*i + 1) + " " + Named(field) + " (" +
      std::string(1, field.type) + ", " + ByteCount(field.span.width) + ") " + where +
      ", but the program reads " + fixed[*i].what + " at " + BytesText(fixed[*i].span) +
      " (it reads fixed places, never the field descriptors): it reads " +
      Covering(fields, fixed[*i].span) + " there" + LaterFieldsText(fields, fixed, *i) + "." +
      ExampleText(table, fields, fixed, *i) + FixText(field, fixed[*i]);
  out << "  " << warnings.Mark(text) << "\n";
}
