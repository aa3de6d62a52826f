#include "dbf/fielderror.h"

std::string FieldErrorText(const std::string& table, std::uint32_t record, const std::string& field,
                           const std::string& reason) {
  return table + ", record " + std::to_string(record) + ", field " + field + ": " + reason;
}
