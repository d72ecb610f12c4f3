// Font names to font files.
//
//   1. the search: GDFONTPATH as read at the last refresh
//   2. gd's way: a name in a list of folders
//   3. fontconfig's way: the fonts it knows by file name, the family a name stands for
//   4. the per-thread table of names found
#include "engine/text/font_files.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/text/font_folders.h"
#include "engine/text/lru_map.h"

namespace plotwise {
namespace {

// ---- 1. The search ----------------------------------------------------------------------------

// What GDFONTPATH said at the last refresh. `generation` changes with it; `epoch` with every
// refresh. Threads read both without a lock and copy the path under it.
class Search {
public:
    void refresh() {
        const char* given = std::getenv("GDFONTPATH");
        const std::lock_guard<std::mutex> guard(lock_);
        if (!read_ || set_ != (given != nullptr) || (given != nullptr && path_ != given)) {
            set_ = given != nullptr;
            path_ = given != nullptr ? given : "";
            generation_.fetch_add(1, std::memory_order_release);
        }
        read_ = true;
        epoch_.fetch_add(1, std::memory_order_release);
    }
    uint64_t generation() {
        if (generation_.load(std::memory_order_acquire) == 0) refresh();
        return generation_.load(std::memory_order_acquire);
    }
    uint64_t epoch() const { return epoch_.load(std::memory_order_acquire); }
    // The folders to search and whether fontconfig may be asked after them.
    void folders(std::string& path, bool& fontconfig) {
        const std::lock_guard<std::mutex> guard(lock_);
        path = set_ ? path_ : default_font_path();  // gd's folders when GDFONTPATH is not set
        fontconfig = !set_;
    }

private:
    std::mutex lock_;
    bool read_ = false, set_ = false;
    std::string path_;
    std::atomic<uint64_t> generation_{0}, epoch_{0};
};

Search& search() {
    static Search* instance = new Search;  // used by threads until the process ends
    return *instance;
}

// The canonical path of a readable regular file; "" for anything else (a pipe would block the
// drawing until someone writes to it, a device could feed it without end).
std::string canonicalFile(const std::string& path) {
    struct stat status;
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || ::access(path.c_str(), R_OK) != 0) return {};
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

// ---- 2. gd's way --------------------------------------------------------------------------------

// The name in the folders: with a dot as it is, else with each ending gd tries.
std::string inFolders(std::string_view name, std::string_view folders) {
    static constexpr std::array<std::string_view, 4> kEndings{".ttf", ".pfa", ".pfb", ".dfont"};
    const bool dotted = name.find('.') != std::string_view::npos;
    while (!folders.empty()) {
        const std::size_t colon = folders.find(font_path_separator());
        const std::string_view folder = folders.substr(0, colon);
        folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
        if (folder.empty()) continue;
        std::string candidate(folder);
        candidate += '/';
        candidate += name;
        for (std::size_t k = 0; k < (dotted ? 1 : kEndings.size()); ++k) {
            std::string file = dotted ? candidate : candidate + std::string(kEndings[k]);
            if (std::string found = canonicalFile(file); !found.empty()) return found;
        }
    }
    return {};
}

// ---- 3. fontconfig's way ----------------------------------------------------------------------------

// A name's family and style as fontconfig is asked for them.
struct Family {
    std::string name;
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
};

// Windows' font file names and the short names scripts give them, by their letters in lower
// case without blanks, hyphens or underscores (fontconfig compares families the same way).
// A style word at the end of a name not listed here is taken off as its style.
struct KnownName {
    std::string_view letters;
    std::string_view family;
    bool bold, italic;
};
constexpr std::array<KnownName, 22> kKnownNames{{
    {"arial", "Arial", false, false},           {"arialbd", "Arial", true, false},
    {"ariali", "Arial", false, true},           {"arialbi", "Arial", true, true},
    {"helvetica", "Arial", false, false},       {"times", "Times New Roman", false, false},
    {"timesbd", "Times New Roman", true, false}, {"timesi", "Times New Roman", false, true},
    {"timesbi", "Times New Roman", true, true},  {"timesroman", "Times New Roman", false, false},
    {"timesnewroman", "Times New Roman", false, false}, {"cour", "Courier New", false, false},
    {"courbd", "Courier New", true, false},     {"couri", "Courier New", false, true},
    {"courbi", "Courier New", true, true},      {"courier", "Courier New", false, false},
    {"couriernew", "Courier New", false, false}, {"verdana", "Verdana", false, false},
    {"tahoma", "Tahoma", false, false},         {"georgia", "Georgia", false, false},
    {"calibri", "Calibri", false, false},       {"cambria", "Cambria", false, false},
}};

struct StyleWord {
    std::string_view letters;
    bool bold, italic;
};
constexpr std::array<StyleWord, 6> kStyleWords{{
    {"bolditalic", true, true}, {"boldoblique", true, true}, {"bold", true, false},
    {"italic", false, true},    {"oblique", false, true},    {"regular", false, false},
}};

constexpr std::array<std::string_view, 6> kFontEndings{".ttf", ".otf", ".ttc", ".pfa", ".pfb", ".dfont"};

bool endsWith(std::string_view s, std::string_view end) {
    return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The family a font name stands for: its file ending taken off, a known name's family, else
// the name with a style word at its end taken off.
Family familyOf(std::string_view name) {
    const std::string lower = lowered(name);
    for (std::string_view ending : kFontEndings)
        if (endsWith(lower, ending)) {
            name.remove_suffix(ending.size());
            break;
        }
    std::string letters;
    for (char c : name)
        if (c != ' ' && c != '-' && c != '_') letters += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    bool bold = false, italic = false;
    std::string family(name);
    for (const StyleWord& word : kStyleWords) {
        if (letters.size() <= word.letters.size() || !endsWith(letters, word.letters)) continue;
        letters.resize(letters.size() - word.letters.size());
        // The same letters off the name as written, with the blanks and hyphens before them.
        std::size_t keep = family.size(), taken = 0;
        while (keep > 0 && taken < word.letters.size()) {
            const char c = family[--keep];
            if (c != ' ' && c != '-' && c != '_') ++taken;
        }
        while (keep > 0 && (family[keep - 1] == ' ' || family[keep - 1] == '-' || family[keep - 1] == '_')) --keep;
        family.resize(keep);
        bold = word.bold, italic = word.italic;
        break;
    }
    for (const KnownName& known : kKnownNames)
        if (letters == known.letters) {
            family = known.family;
            bold = bold || known.bold, italic = italic || known.italic;
            break;
        }
    return Family{family, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN};
}

// Family names compared as fontconfig compares them: without regard to case or blanks.
bool sameFamily(const FcChar8* a, const FcChar8* b) {
    auto letters = [](const FcChar8* s) {
        std::string out;
        for (; *s != 0; ++s)
            if (*s != ' ') out += static_cast<char>(std::tolower(*s));
        return out;
    };
    return letters(a) == letters(b);
}

// fontconfig's configuration and the fonts it knows by file name, made once for the process;
// fontconfig calls are made one at a time.
class Fontconfig {
public:
    // The font of that file name (no folder), compared without regard to case.
    std::string byFileName(std::string_view name) {
        const std::lock_guard<std::mutex> guard(lock_);
        if (!start()) return {};
        const auto it = files_.find(lowered(name));
        return it != files_.end() ? it->second : std::string();
    }

    // The file fontconfig gives for a family, when the font it gives is of that family or,
    // with `metric_alias`, of a family fontconfig holds the same as it.
    std::string byFamily(const Family& family, bool metric_alias) {
        const std::lock_guard<std::mutex> guard(lock_);
        if (!start() || family.name.empty()) return {};
        FcPattern* pattern = FcPatternCreate();
        if (pattern == nullptr) return {};
        const auto* requested = reinterpret_cast<const FcChar8*>(family.name.c_str());
        FcPatternAddString(pattern, FC_FAMILY, requested);
        FcPatternAddInteger(pattern, FC_WEIGHT, family.weight);
        FcPatternAddInteger(pattern, FC_SLANT, family.slant);
        FcConfigSubstitute(config_, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config_, pattern, &result);
        std::string file;
        FcChar8* matched = nullptr;
        bool accepted = false;
        for (int n = 0; match != nullptr && !accepted && FcPatternGetString(match, FC_FAMILY, n, &matched) == FcResultMatch; ++n)
            accepted = sameFamily(matched, requested) || (metric_alias && heldSame(pattern, matched));
        FcChar8* path = nullptr;
        if (accepted && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
            file = reinterpret_cast<const char*>(path);
        if (match != nullptr) FcPatternDestroy(match);
        FcPatternDestroy(pattern);
        return file;
    }

private:
    bool start() {
        if (!tried_) {
            tried_ = true;
            config_ = FcInitLoadConfigAndFonts();
            if (config_ != nullptr) indexFiles();
        }
        return config_ != nullptr;
    }

    void indexFiles() {
        FcPattern* all = FcPatternCreate();
        FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
        FcFontSet* fonts = all != nullptr && objects != nullptr ? FcFontList(config_, all, objects) : nullptr;
        for (int i = 0; fonts != nullptr && i < fonts->nfont; ++i) {
            FcChar8* file = nullptr;
            if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
            const std::string path(reinterpret_cast<const char*>(file));
            files_.emplace(lowered(path.substr(path.rfind('/') + 1)), path);
        }
        if (fonts != nullptr) FcFontSetDestroy(fonts);
        if (objects != nullptr) FcObjectSetDestroy(objects);
        if (all != nullptr) FcPatternDestroy(all);
    }

    // Whether the substituted request holds the family as firmly as the one asked for: its
    // metric-compatible stand-ins are added with a strong (or same) binding, generic fallbacks
    // with a weak one.
    static bool heldSame(FcPattern* pattern, const FcChar8* family) {
        FcPatternIter it;
        if (!FcPatternFindIter(pattern, &it, FC_FAMILY)) return false;
        const int count = FcPatternIterValueCount(pattern, &it);
        for (int n = 0; n < count; ++n) {
            FcValue value;
            FcValueBinding binding = FcValueBindingWeak;
            if (FcPatternIterGetValue(pattern, &it, n, &value, &binding) == FcResultMatch && value.type == FcTypeString &&
                binding != FcValueBindingWeak && sameFamily(value.u.s, family))
                return true;
        }
        return false;
    }

    std::mutex lock_;
    bool tried_ = false;
    FcConfig* config_ = nullptr;
    std::unordered_map<std::string, std::string> files_;  // by file name in lower case
};

Fontconfig& fontconfig() {
    static Fontconfig* instance = new Fontconfig;  // used by threads until the process ends
    return *instance;
}

// One name of a list, along the search.
std::string findOne(const std::string& name, const std::string& folders, bool ask_fontconfig) {
    if (name.empty()) return {};
    if (name.find('/') != std::string::npos) return canonicalFile(name);
    if (std::string found = inFolders(name, folders); !found.empty()) return found;
    if (!ask_fontconfig) return {};
    if (std::string found = fontconfig().byFileName(name); !found.empty()) return canonicalFile(found);
    return canonicalFile(fontconfig().byFamily(familyOf(name), true));
}

// ---- 4. The per-thread table ------------------------------------------------------------------------

struct Found {
    std::string file;  // "" when not found
    uint64_t epoch;    // of the refresh it was looked up after
    bool lasting;      // kept across refreshes: found, and not by a path relative to the working folder
};

class Names {
public:
    std::string find(const char* name) {
        if (name == nullptr || *name == '\0') return {};
        const uint64_t generation = search().generation();
        if (generation != generation_) {
            names_.clear();
            generation_ = generation;
            search().folders(folders_, fontconfig_);
        }
        const uint64_t epoch = search().epoch();
        if (const Found* known = names_.find(name); known != nullptr && (known->lasting || known->epoch == epoch))
            return known->file;
        Found found{{}, epoch, true};
        std::string_view names(name);
        while (!names.empty() && found.file.empty()) {
            const std::size_t semicolon = names.find(';');
            const std::string one(names.substr(0, semicolon));
            names = semicolon == std::string_view::npos ? std::string_view() : names.substr(semicolon + 1);
            found.file = findOne(one, folders_, fontconfig_);
            // A relative path means another file in another working folder.
            if (one.find('/') != std::string::npos && one.front() != '/') found.lasting = false;
        }
        found.lasting = found.lasting && !found.file.empty();
        const std::size_t bytes = found.file.size();
        return names_.add(name, std::move(found), bytes).file;
    }

    FontNameStats stats() const { return FontNameStats{names_.size(), names_.bytes()}; }

private:
    LruMap<Found> names_{kFontNameBudget, kFontNameBytes};
    uint64_t generation_ = 0;
    std::string folders_;
    bool fontconfig_ = false;
};

Names& names() {
    thread_local Names instance;
    return instance;
}

}  // namespace

void refresh_font_search() noexcept {
    try {
        search().refresh();
    } catch (...) {
        // Out of memory: the search stays as it was.
    }
}

std::string find_font_file(const char* name) { return names().find(name); }

std::string installed_family_file(const char* family) {
    return family != nullptr ? fontconfig().byFamily(Family{family}, false) : std::string();
}

FontNameStats font_name_stats() { return names().stats(); }

}  // namespace plotwise
