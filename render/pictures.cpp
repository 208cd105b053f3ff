#include "render/pictures.h"

#include "shell/reader.h"

namespace lanthorn {

Size MeasurePicture(Reader& reader, uint16_t bitmapId) {
  Size size{};
  if (!reader.platform.BitmapSize(bitmapId, &size)) {
    size = {reader.render.rightMargin - reader.platform.ClientRect().left, 0};
  }
  return size;
}

int32_t DrawPicture(Reader& reader, Canvas& canvas, uint16_t bitmapId, int32_t x, int32_t y) {
  const Size size = MeasurePicture(reader, bitmapId);
  canvas.DrawBitmap(bitmapId, x, y);
  return size.width;
}

}  // namespace lanthorn
