// JSON text from value trees; also used by the engine to put values into
// generated script.

#ifndef ENGINE_SRC_BASE_JSON_WRITER_H_
#define ENGINE_SRC_BASE_JSON_WRITER_H_

#include <string>

#include "include/internal/cef_types.h"
#include "src/base/value_node.h"

namespace cef_base {

// False when the tree holds binary data (not omitted) or nests too deeply.
bool WriteJSON(const ValueNode& root,
               cef_json_writer_options_t options,
               std::string* out);

// A quoted JSON string literal for UTF-8 text (invalid bytes become U+FFFD).
void EscapeJSONString(const std::string& utf8, std::string* out);

// The shortest text that reads back as |value| (no ".0" added).
std::string FormatDouble(double value);

}  // namespace cef_base

#endif  // ENGINE_SRC_BASE_JSON_WRITER_H_
