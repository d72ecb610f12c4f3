#include "engine/format/printf_format.h"

#include <cstring>

namespace plotwise {

int double_conversions(const char* format) {
    int conversions = 0;
    for (const char* c = format; *c != '\0'; ++c) {
        if (*c != '%') continue;
        ++c;
        if (*c == '%') continue;
        while (*c != '\0' && std::strchr("-+ #0'", *c) != nullptr) ++c;
        for (int digits = 0; *c >= '0' && *c <= '9'; ++c)
            if (++digits > 3) return -1;
        if (*c == '.') {
            ++c;
            for (int digits = 0; *c >= '0' && *c <= '9'; ++c)
                if (++digits > 3) return -1;
        }
        if (*c == 'l') ++c;
        if (*c == '\0' || std::strchr("aAeEfFgG", *c) == nullptr) return -1;
        ++conversions;
    }
    return conversions;
}

}  // namespace plotwise
