// The painted background: one-pixel rings from bright blue at the edge to nearly black inside,
// with a pale-yellow line along the very edge, shown behind the list.
#include "app/App.h"
#include "widget/Drawing.h"
#include "widget/Image.h"
#include "widget/ImageWidget.h"

const int32_t BACKGROUND_RINGS = 32;
const int32_t BACKGROUND_EDGE_COLOUR = 0xC0FFFF;

void BackgroundPaint() {
    int32_t width = app.windowWidth;
    int32_t height = app.windowHeight;
    app.backgroundImage = ImageCreate(IMAGE_BACKGROUND, width, height);
    DrawingStart(ImageTarget());
    for (int32_t i = 0; i < BACKGROUND_RINGS; i++)
        DrawBox(i, i, width - 2 * i, height - 2 * i, ColourRgb(0, 0, 255 - 8 * i));
    DrawingModeSet(DRAWING_OUTLINED);
    DrawBox(0, 0, width, height, BACKGROUND_EDGE_COLOUR);
    DrawingStop();
}

void BackgroundWidgetCreate() {
    ImageWidgetCreate(WIDGET_BACKGROUND, 0, 0, app.windowWidth, app.windowHeight,
                      app.backgroundImage);
}
