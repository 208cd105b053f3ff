#include "render/fonts.h"

#include "render/icon_bar.h"

namespace lanthorn {

int32_t FontPixelHeight(int32_t dotsPerInch, float pointSize) {
  return static_cast<int32_t>(static_cast<float>(dotsPerInch) * pointSize / 72.0f + 0.5f);
}

int CreateFonts(Page& page, RenderState& render) {
  Platform& platform = page.platform;
  render.pageArea = platform.ClientRect();
  CreateIconBar(render, platform);
  const int32_t height = FontPixelHeight(platform.VerticalDotsPerInch(), render.textPointSize);
  page.geometry.boldFont = platform.CreatePageFont(height, 700);
  page.geometry.normalFont = platform.CreatePageFont(height, 300);
  render.layoutBold = 0;
  return 1;
}

void DeleteFonts(Page& page) {
  PageGeometry& geometry = page.geometry;
  if (geometry.normalFont != nullptr) page.platform.DeleteFont(geometry.normalFont);
  if (geometry.boldFont != nullptr) page.platform.DeleteFont(geometry.boldFont);
  geometry.normalFont = nullptr;
  geometry.boldFont = nullptr;
}

}  // namespace lanthorn
