// Font names to font files, each name looked up once. Charts name fonts as their authors know
// them ("Arial.ttf", "Times New Roman Bold.ttf", a path); every font cache after this one is
// keyed by the file found, as a canonical path, so that any number of spellings of one file
// share one entry.
#pragma once

#include <cstddef>
#include <string>

namespace plotwise {

// Reads GDFONTPATH again: when it changed, every name is looked up anew. Names that were not
// found (and relative paths) are looked up again after each call of this, so a font installed
// meanwhile is found. The plug-in calls it at the start of each of its calls: one environment
// read per call rather than one per text. Before the first call the environment is read on
// first use.
void refresh_font_search() noexcept;

// The file a font name stands for, as a canonical path; "" when there is none.
//  - a list "a;b": the first of its names found;
//  - a name with a slash: that file, when it is a readable regular file;
//  - GDFONTPATH set: the name in its folders (separated by ':'), as gd looks: a name with a dot
//    as it is, else with the endings .ttf, .pfa, .pfb and .dfont. Nothing else: the
//    administrator's list is the whole search;
//  - GDFONTPATH not set: the same in gd's own folders, then a font of that file name among the
//    fonts fontconfig knows, then the font fontconfig gives for the family the name stands for
//    when that is the family itself or one fontconfig holds the same (the metric-compatible
//    Liberation fonts for Arial, Times New Roman and Courier New). Windows font file names
//    (arial.ttf, timesbd.ttf, cour.ttf) stand for their families and styles.
// Found once per name and thread, and kept within a budget.
std::string find_font_file(const char* name);

// The file of a font family fontconfig knows, when that family itself is installed (fontconfig
// answers every request with some font; a stand-in is no use to the fallback fonts); "" else.
std::string installed_family_file(const char* family);

// Sizes of the calling thread's name table, for the tests of its budget.
struct FontNameStats {
    std::size_t names;
    std::size_t bytes;
};
FontNameStats font_name_stats();
constexpr std::size_t kFontNameBudget = 256;
constexpr std::size_t kFontNameBytes = std::size_t{64} << 10;

}  // namespace plotwise
