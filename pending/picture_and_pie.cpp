// Stand-ins until picture delivery, the text and colour routines and the pie engine land;
// remove each one as its real code arrives.
#include "driver/picture.h"
#include "engine/output.h"
#include "engine/pie.h"
#include "engine/text_color.h"

namespace plotwise {
FILE* openPictureForWriting() { return nullptr; }
void closePicture(FILE*) {}
std::span<const uint8_t> pictureBytes() { return {}; }
int16_t attachPicture(FMX_BinaryData*, uint32_t, uint32_t) { return 0; }
std::string_view errorMessage(uint32_t) { return {}; }
void drawErrorPicture(uint32_t) {}
void load_font_table() {}
const FontEntry& font_entry(int) { static FontEntry e{}; return e; }
short count_text_lines(const char*, int* longest) { if (longest) *longest = 0; return 0; }
TextSize measure_text(const char*, int, const char*, double, double, std::string*) { return {0, 0}; }
int draw_text_lines(gdImagePtr, const FontEntry&, const char*, double, double, int, int, const char*, int, int,
                    std::string*) { return 0; }
TextSize probe_font(const char*, double) { return {0, 0}; }
uint32_t resolve_color(uint32_t c, uint32_t) { return c; }
int allocate_color(gdImagePtr, uint32_t, uint32_t) { return 0; }
int allocate_shade(gdImagePtr, uint32_t, uint32_t) { return 0; }
uint32_t unique_color(gdImagePtr) { return 0x123454; }
void write_picture(gdImagePtr, FILE*, int) {}
void draw_pie(short, short, FILE*, int, int, const char* const*, const float*) {}
}  // namespace plotwise
