// fontconfig, opened when the fallback fonts are first looked for rather than linked: the
// plug-in then loads on a server that has no libfontconfig (it draws there with the fonts it
// is given and the built-in ones, without fallback fonts), and the functions below are the only
// ones of fontconfig it uses. Each forwards to the library's own; with no library, each answers
// as fontconfig does when it fails (no configuration, no pattern, no match).
#include <fontconfig/fontconfig.h>

#include <dlfcn.h>

#include <cstdarg>

namespace {

void* fontconfigLibrary() {
    static void* const library = ::dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_LOCAL);
    return library;
}

template <typename F>
F fontconfigFunction(const char* name) {
    void* const library = fontconfigLibrary();
    return library != nullptr ? reinterpret_cast<F>(::dlsym(library, name)) : nullptr;
}

}  // namespace

// name, result, parameters, arguments, the answer without fontconfig
#define PLOTWISE_FONTCONFIG(name, result, parameters, arguments, failed)                   \
    extern "C" result name parameters {                                                    \
        static const auto forward = fontconfigFunction<result(*) parameters>(#name);       \
        if (forward == nullptr) return failed;                                             \
        return forward arguments;                                                          \
    }

PLOTWISE_FONTCONFIG(FcInitLoadConfigAndFonts, FcConfig*, (void), (), nullptr)
PLOTWISE_FONTCONFIG(FcConfigDestroy, void, (FcConfig * config), (config), void())
PLOTWISE_FONTCONFIG(FcPatternCreate, FcPattern*, (void), (), nullptr)
PLOTWISE_FONTCONFIG(FcPatternDestroy, void, (FcPattern * p), (p), void())
PLOTWISE_FONTCONFIG(FcPatternAddString, FcBool, (FcPattern * p, const char* object, const FcChar8* s),
                    (p, object, s), FcFalse)
PLOTWISE_FONTCONFIG(FcPatternGetString, FcResult, (const FcPattern* p, const char* object, int n, FcChar8** s),
                    (p, object, n, s), FcResultNoMatch)
PLOTWISE_FONTCONFIG(FcConfigSubstitute, FcBool, (FcConfig * config, FcPattern* p, FcMatchKind kind),
                    (config, p, kind), FcFalse)
PLOTWISE_FONTCONFIG(FcDefaultSubstitute, void, (FcPattern * pattern), (pattern), void())
PLOTWISE_FONTCONFIG(FcFontMatch, FcPattern*, (FcConfig * config, FcPattern* p, FcResult* result),
                    (config, p, result), nullptr)
PLOTWISE_FONTCONFIG(FcPatternAddInteger, FcBool, (FcPattern * p, const char* object, int i), (p, object, i), FcFalse)
PLOTWISE_FONTCONFIG(FcObjectSetCreate, FcObjectSet*, (void), (), nullptr)
PLOTWISE_FONTCONFIG(FcObjectSetAdd, FcBool, (FcObjectSet * os, const char* object), (os, object), FcFalse)
PLOTWISE_FONTCONFIG(FcObjectSetDestroy, void, (FcObjectSet * os), (os), void())
PLOTWISE_FONTCONFIG(FcFontList, FcFontSet*, (FcConfig * config, FcPattern* p, FcObjectSet* os), (config, p, os),
                    nullptr)
PLOTWISE_FONTCONFIG(FcFontSetDestroy, void, (FcFontSet * s), (s), void())
PLOTWISE_FONTCONFIG(FcPatternFindIter, FcBool, (const FcPattern* pat, FcPatternIter* iter, const char* object),
                    (pat, iter, object), FcFalse)
PLOTWISE_FONTCONFIG(FcPatternIterValueCount, int, (const FcPattern* pat, FcPatternIter* iter), (pat, iter), 0)
PLOTWISE_FONTCONFIG(FcPatternIterGetValue, FcResult,
                    (const FcPattern* pat, FcPatternIter* iter, int id, FcValue* v, FcValueBinding* b),
                    (pat, iter, id, v, b), FcResultNoMatch)

// A list of object names ending with a null, built with the two calls above (a variadic
// function cannot be forwarded).
extern "C" FcObjectSet* FcObjectSetBuild(const char* first, ...) {
    FcObjectSet* set = FcObjectSetCreate();
    if (set == nullptr) return nullptr;
    va_list names;
    va_start(names, first);
    for (const char* name = first; name != nullptr; name = va_arg(names, const char*)) {
        if (!FcObjectSetAdd(set, name)) {
            FcObjectSetDestroy(set);
            set = nullptr;
            break;
        }
    }
    va_end(names);
    return set;
}
