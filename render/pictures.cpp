#include "render/pictures.h"

namespace lanthorn {

Size MeasurePicture(Page& page, uint16_t bitmapId) {
  Size size{};
  if (!page.platform.BitmapSize(bitmapId, &size)) {
    size = {page.geometry.rightMargin - page.platform.ClientRect().left, 0};
  }
  return size;
}

int32_t DrawPicture(Page& page, Canvas& canvas, uint16_t bitmapId, int32_t x, int32_t y) {
  const Size size = MeasurePicture(page, bitmapId);
  canvas.DrawBitmap(bitmapId, x, y);
  return size.width;
}

}  // namespace lanthorn
