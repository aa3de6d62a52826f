#pragma once
// What the writer of a table did that the program reads otherwise than it was meant: texts in a
// code page that the program does not show (DOS programs write code page 850), a number left
// empty as a dBASE null ("**"), a dBASE version with memo fields.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "inspect/fieldplaces.h"

class DbfFile;
class Warnings;

// A warning under the table when its header names a code page (byte 29) that the program does not
// show, and a text of its first records shows otherwise than meant: with that text both ways and
// the fix.
void ReportCodePage(const DbfFile& table, TableKind kind, Warnings& warnings, std::ostream& out);

// A number field that the program converts, whole or decimal.
struct NumberField {
  FixedField field;
  bool whole;
};

// The number fields of a record of `kind` in the order that the program converts them: the lead
// number, then the data-set number of a property record or the value of each of `dataSets` in a
// data record.
std::vector<NumberField> NumberFields(TableKind kind, int dataSets);

// Why a record ends the run when the first of its `fields` that does not convert holds a dBASE
// null ("*" in every byte), and what to write instead; "" when it holds anything else.
std::string NullNumberText(std::string_view text, const std::vector<NumberField>& fields);

// What a table of `version` that has memo fields (0x83, 0x8B) is, and what to do with it, as the
// program does not read it; "" for any other version.
std::string MemoAdvice(std::uint8_t version);
