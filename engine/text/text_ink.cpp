#include "engine/text/text_ink.h"

#include "engine/text/text_color.h"

namespace plotwise {

int text_line_height(const char* font_file, double ptsize) { return measure_text("Aj", 0, font_file, ptsize).height; }

TextInk text_ink(const char* font_file, double ptsize, const char* text) {
    TextInk ink;
    TextBox box{};
    if (!freetype_box(font_file, ptsize, text, box)) return ink;
    // The first baseline lies a line less a pixel below the top.
    const int baseline = text_line_height(font_file, ptsize) - 1;
    ink.drawn = true;
    ink.left = box.left;
    ink.right = box.right;
    ink.top = baseline + box.top;
    ink.bottom = baseline + box.bottom;
    return ink;
}

}  // namespace plotwise
