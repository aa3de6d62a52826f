#pragma once
// Errors raised while a record is decoded name where they came from.

#include <cstdint>
#include <string>
#include <type_traits>

#include "runtime/errors.h"

// "TABLE, record N, field NAME: " followed by the error's own text.
std::string FieldErrorText(const std::string& table, std::uint32_t record, const std::string& field,
                           const std::string& reason);

// Runs `decode` and lets any Exception go on with the table, record and field in its text.
// `field` is the field's name, or a function that makes it, called only on an error.
template <class Name, class Decode>
auto DecodeField(const std::string& table, std::uint32_t record, const Name& field,
                 Decode&& decode) {
  try {
    return decode();
  } catch (const Exception& error) {
    if constexpr (std::is_invocable_v<const Name&>) {
      throw Exception(FieldErrorText(table, record, field(), error.Text()));
    } else {
      throw Exception(FieldErrorText(table, record, field, error.Text()));
    }
  }
}
