// Stand-ins until the label formatters, the calendar and the engine notices land; remove each
// one as its real code arrives.
#include "driver/label_format.h"
#include "driver/time64snip.h"
#include "engine/notice.h"

namespace plotwise {
std::string formatNumberLabel(std::string_view, double) { return {}; }
std::string formatTextLabel(std::string_view, std::string_view) { return {}; }
std::string formatDateParts(std::string_view, int, int, int, int, int, int) { return {}; }
std::string formatDateValue(std::string_view, double, int) { return {}; }
std::tm* breakDownTime64(std::int64_t, std::tm* result) { return result; }
bool check_tm(const std::tm*) { return true; }
void draw_notice(int, int, FILE*, uint32_t, uint32_t, const char*) {}
void draw_background_image(gdImagePtr, const char*, int, int) {}
std::string fractionLabel(float, int& w, int& n, int& d, const char*) { w = n = d = 0; return {}; }
}  // namespace plotwise
