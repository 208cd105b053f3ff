#include "tools/trace/json_writer.h"

#include <cstdio>

namespace trace {

void JsonWriter::Separate() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!first_) out_ += ',';
  first_ = false;
}

void JsonWriter::Open(char c) {
  Separate();
  out_ += c;
  first_ = true;
}

void JsonWriter::Close(char c) {
  out_ += c;
  first_ = false;
}

void JsonWriter::Key(std::string_view key) {
  String(key);
  out_ += ':';
  afterKey_ = true;
}

void JsonWriter::String(std::string_view utf8) {
  Separate();
  out_ += '"';
  for (unsigned char c : utf8) {
    switch (c) {
      case '"': out_ += "\\\""; break;
      case '\\': out_ += "\\\\"; break;
      case '\n': out_ += "\\n"; break;
      case '\t': out_ += "\\t"; break;
      default:
        if (c < 0x20) {
          char escape[8];
          snprintf(escape, sizeof escape, "\\u%04x", c);
          out_ += escape;
        } else {
          out_ += static_cast<char>(c);
        }
    }
  }
  out_ += '"';
}

void JsonWriter::Number(int64_t value) {
  Separate();
  out_ += std::to_string(value);
}

void JsonWriter::Bool(bool value) {
  Separate();
  out_ += value ? "true" : "false";
}

}  // namespace trace
