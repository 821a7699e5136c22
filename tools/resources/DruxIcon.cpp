// Draws DRUX's icon and writes it as a Windows .ico file: the window in small, a pale-yellow edge
// and blue rings darkening inwards around a list whose rows alternate pale yellow and dark blue,
// each row (but at 16 pixels) with the marks of a name and a value. Every size is drawn for its own
// pixel grid (16, 32 and 48 pixels: the sizes Explorer, the taskbar and Alt+Tab ask for), never
// scaled from another, so that the rows stay sharp at 16 pixels.
//   DruxIcon <output.ico>
// Runs on the build machine; it reads nothing, so the icon is the same on every build.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

struct Rgb {
    uint8_t r, g, b;
};

// The window's own colours (app/Background.cpp, the list's rows).
const Rgb EDGE = {0xFF, 0xFF, 0xC0};
const Rgb ROW_LIGHT = {0xFF, 0xFF, 0xD0};
const Rgb ROW_DARK = {0x00, 0x00, 0x5F};
const Rgb LIST_FRAME = {0xFF, 0xFF, 0xFF};
const Rgb HEADER = {0xD4, 0xD0, 0xC8};
const Rgb HEADER_TEXT = {0x40, 0x40, 0x40};
const Rgb TEXT_ON_LIGHT = {0x00, 0x00, 0x00};
const Rgb TEXT_ON_DARK = {0xFF, 0xFF, 0xFF};

struct Image {
    int size;
    std::vector<Rgb> pixels;  // top row first
    explicit Image(int s) : size(s), pixels(static_cast<size_t>(s * s)) {}
    void Fill(int left, int top, int right, int bottom, Rgb colour) {  // right, bottom exclusive
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (x >= 0 && y >= 0 && x < size && y < size) pixels[y * size + x] = colour;
    }
};

Image Draw(int size) {
    Image image(size);
    const int unit = size / 16;
    // The rings: a one-pixel edge, then blue from full brightness at the edge to dark next to the
    // list, as the window's 32 rings do over its border.
    const int border = 3 * unit;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int depth = std::min(std::min(x, y), std::min(size - 1 - x, size - 1 - y));
            Rgb colour = EDGE;
            if (depth > 0) {
                int steps = border - 2 > 0 ? border - 2 : 1;
                int ring = std::min(depth - 1, steps);
                colour = {0, 0, static_cast<uint8_t>(255 - 190 * ring / steps)};
            }
            image.pixels[y * size + x] = colour;
        }
    }
    // The list: a white frame, a grey header with a column label, then the rows.
    const int left = border, top = border, right = size - border, bottom = size - border;
    image.Fill(left, top, right, bottom, LIST_FRAME);
    const int innerLeft = left + 1, innerRight = right - 1, innerBottom = bottom - 1;
    const int headerBottom = top + 1 + unit;
    image.Fill(innerLeft, top + 1, innerRight, headerBottom, HEADER);
    const int inner = innerRight - innerLeft;
    if (unit > 1)
        image.Fill(innerLeft + unit, top + 1 + unit / 2, innerLeft + inner / 2, top + 2 + unit / 2,
                   HEADER_TEXT);
    const int rowHeight = 2 * unit;
    const int textHeight = unit - 1;  // none at 16 pixels, where plain stripes read best
    for (int row = 0, y = headerBottom; y < innerBottom; ++row, y += rowHeight) {
        const bool light = row % 2 == 0;
        const int rowBottom = std::min(y + rowHeight, innerBottom);
        image.Fill(innerLeft, y, innerRight, rowBottom, light ? ROW_LIGHT : ROW_DARK);
        if (textHeight == 0) continue;
        // A name on the left, of a length that changes from row to row, and a value on the right.
        const int textTop = y + (rowHeight - textHeight) / 2;
        const int textBottom = std::min(textTop + textHeight, rowBottom);
        const Rgb text = light ? TEXT_ON_LIGHT : TEXT_ON_DARK;
        const int nameEnd = innerLeft + inner * (row % 3 == 1 ? 4 : row % 3 == 2 ? 5 : 6) / 10;
        image.Fill(innerLeft + (unit + 1) / 2, textTop, nameEnd, textBottom, text);
        image.Fill(innerRight - (unit + 1) / 2 - inner / 5, textTop, innerRight - (unit + 1) / 2,
                   textBottom, text);
    }
    return image;
}

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// One image of an .ico file: a BITMAPINFOHEADER of twice the height (colour, then mask), 32-bit
// pixels from the bottom row up with an opaque alpha, and the all-clear AND mask that Windows
// before XP draws with.
std::vector<uint8_t> IconImage(const Image& image) {
    const int size = image.size;
    const int maskStride = ((size + 31) / 32) * 4;
    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(size));
    Put32(out, static_cast<uint32_t>(2 * size));
    Put16(out, 1);   // planes
    Put16(out, 32);  // bits per pixel
    Put32(out, 0);   // BI_RGB
    Put32(out, static_cast<uint32_t>(size * size * 4 + maskStride * size));
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const Rgb& p = image.pixels[y * size + x];
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
            out.push_back(0xFF);
        }
    }
    out.insert(out.end(), static_cast<size_t>(maskStride * size), 0);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: DruxIcon <output.ico>\n");
        return 2;
    }
    const int sizes[] = {16, 32, 48};
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes) images.push_back(IconImage(Draw(size)));

    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);  // an icon, not a cursor
    Put16(file, static_cast<uint32_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(0);  // no palette
        file.push_back(0);
        Put16(file, 1);
        Put16(file, 32);
        Put32(file, static_cast<uint32_t>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());

    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "DruxIcon: could not write %s\n", argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
