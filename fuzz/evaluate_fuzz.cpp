// Evaluates arbitrary bytes as a condition over arbitrary item states.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/fuzz_reader.h"
#include "story/evaluator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lanthorn::HeadlessPlatform* platform = nullptr;
  lanthorn::Reader& reader = FuzzReader(&platform);
  platform->ClearMessages();
  // The first bytes set the items' held flags and values.
  for (int i = 0; i < lanthorn::kItemCount && size > 0; ++i, ++data, --size) {
    reader.story.state.items[i] = {static_cast<uint8_t>(*data & 1),
                                   static_cast<uint8_t>(*data >> 1)};
  }
  const size_t length =
      size < lanthorn::kCommandBufferSize - 1 ? size : lanthorn::kCommandBufferSize - 1;
  memcpy(reader.page.tokenizer.command, data, length);
  reader.page.tokenizer.command[length] = '\0';
  lanthorn::EvaluateCondition(reader.story, reader.page.tokenizer.command);
  if (reader.story.evaluator.operandCount < 0 || reader.story.evaluator.operandCount > 10)
    __builtin_trap();
  if (reader.story.evaluator.operatorCount < 0 || reader.story.evaluator.operatorCount > 10)
    __builtin_trap();
  return 0;
}
