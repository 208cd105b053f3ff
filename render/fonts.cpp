#include "render/fonts.h"

#include "render/icon_bar.h"
#include "shell/reader.h"

namespace lanthorn {

int32_t FontPixelHeight(int32_t dotsPerInch, float pointSize) {
  return static_cast<int32_t>(static_cast<float>(dotsPerInch) * pointSize / 72.0f + 0.5f);
}

int CreateFonts(Reader& reader) {
  RenderState& render = reader.render;
  render.pageArea = reader.platform.ClientRect();
  CreateIconBar(reader);
  const int32_t height =
      FontPixelHeight(reader.platform.VerticalDotsPerInch(), render.textPointSize);
  render.boldFont = reader.platform.CreatePageFont(height, 700);
  render.normalFont = reader.platform.CreatePageFont(height, 300);
  render.layoutBold = 0;
  return 1;
}

void DeleteFonts(Reader& reader) {
  if (reader.render.normalFont != nullptr) reader.platform.DeleteFont(reader.render.normalFont);
  if (reader.render.boldFont != nullptr) reader.platform.DeleteFont(reader.render.boldFont);
  reader.render.normalFont = nullptr;
  reader.render.boldFont = nullptr;
}

}  // namespace lanthorn
