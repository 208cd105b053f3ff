// A small writer of one-line JSON.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace trace {

class JsonWriter {
 public:
  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  void Key(std::string_view key);
  void String(std::string_view utf8);
  void Number(int64_t value);
  void Bool(bool value);
  const std::string& text() const { return out_; }

 private:
  void Open(char c);
  void Close(char c);
  void Separate();

  std::string out_;
  bool first_ = true;
  bool afterKey_ = false;
};

}  // namespace trace
