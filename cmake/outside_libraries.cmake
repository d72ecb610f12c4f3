# The drawing libraries: gd (with FreeType), FreeType, zlib, Cairo (vector export), HarfBuzz and
# FriBidi (shaping and ordering right-to-left and joined scripts), and fontconfig's header.
# Each is a target named PkgConfig::<NAME> whichever way it is found:
#  - PLOTWISE_DEPS_PREFIX given: the static libraries cmake/deps/build_deps.sh built from
#    Debian's sources (PIC on Linux, MinGW-w64 for Windows), so that the plug-in is one file;
#  - else the system's shared libraries through pkg-config (the sanitizer, thread and fuzz
#    builds, whose compiler instruments only what it builds).
# fontconfig is never linked: on Linux the plug-in opens it when it first looks for fallback
# fonts (engine/text/fontconfig_runtime_posix.cpp); Windows has no use for it.
set(PLOTWISE_DEPS_PREFIX "" CACHE PATH
    "Static drawing libraries from cmake/deps/build_deps.sh (empty: the system's shared libraries)")

if(PLOTWISE_DEPS_PREFIX)
  if(NOT EXISTS ${PLOTWISE_DEPS_PREFIX}/lib/libgd.a)
    message(FATAL_ERROR "PLOTWISE_DEPS_PREFIX=${PLOTWISE_DEPS_PREFIX} holds no lib/libgd.a: run "
                        "cmake/deps/build_deps.sh, or 'make build', which runs it.")
  endif()
  # name, archive, include folder below include/, the targets it needs
  function(plotwise_static_library name archive include_folder)
    add_library(PkgConfig::${name} STATIC IMPORTED GLOBAL)
    set_target_properties(PkgConfig::${name} PROPERTIES
      IMPORTED_LOCATION ${PLOTWISE_DEPS_PREFIX}/lib/${archive}
      INTERFACE_INCLUDE_DIRECTORIES "${PLOTWISE_DEPS_PREFIX}/include/${include_folder};${PLOTWISE_DEPS_PREFIX}/include"
      INTERFACE_LINK_LIBRARIES "${ARGN}")
  endfunction()
  if(WIN32)
    set(system_libraries "")
  else()
    set(system_libraries m Threads::Threads)
    find_package(Threads REQUIRED)
  endif()
  plotwise_static_library(ZLIB libz.a "" ${system_libraries})
  plotwise_static_library(PNG libpng16.a libpng16 PkgConfig::ZLIB)
  plotwise_static_library(FREETYPE libfreetype.a freetype2 PkgConfig::PNG PkgConfig::ZLIB)
  plotwise_static_library(HARFBUZZ libharfbuzz.a harfbuzz PkgConfig::FREETYPE)
  plotwise_static_library(FRIBIDI libfribidi.a fribidi "")
  plotwise_static_library(PIXMAN libpixman-1.a pixman-1 ${system_libraries})
  plotwise_static_library(CAIRO libcairo.a cairo PkgConfig::PIXMAN PkgConfig::FREETYPE PkgConfig::PNG)
  plotwise_static_library(GD libgd.a "" PkgConfig::FREETYPE PkgConfig::PNG)
  add_library(PkgConfig::CAIRO_FT INTERFACE IMPORTED GLOBAL)
  set_target_properties(PkgConfig::CAIRO_FT PROPERTIES INTERFACE_LINK_LIBRARIES PkgConfig::CAIRO)
  if(WIN32)
    # Static Cairo and gd: no import declarations, no DllMain of their own.
    set_property(TARGET PkgConfig::CAIRO APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS CAIRO_WIN32_STATIC_BUILD)
    set_property(TARGET PkgConfig::GD APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS NONDLL BGDWIN32)
  endif()
else()
  find_package(PkgConfig REQUIRED)
  function(plotwise_require_package prefix module debian_package)
    pkg_check_modules(${prefix} IMPORTED_TARGET ${module})
    if(NOT ${prefix}_FOUND)
      message(FATAL_ERROR "${module} was not found: install the Debian package ${debian_package} "
                          "(apt-get install ${debian_package}), or run 'make test', which installs it.")
    endif()
  endfunction()
  plotwise_require_package(GD gdlib libgd-dev)
  plotwise_require_package(FREETYPE freetype2 libfreetype-dev)
  plotwise_require_package(ZLIB zlib zlib1g-dev)
  plotwise_require_package(CAIRO cairo libcairo2-dev)
  plotwise_require_package(CAIRO_FT cairo-ft libcairo2-dev)
  plotwise_require_package(HARFBUZZ harfbuzz libharfbuzz-dev)
  plotwise_require_package(FRIBIDI fribidi libfribidi-dev)
endif()

add_library(PkgConfig::FONTCONFIG INTERFACE IMPORTED GLOBAL)
if(NOT WIN32)
  find_path(PLOTWISE_FONTCONFIG_HEADER fontconfig/fontconfig.h)
  if(NOT PLOTWISE_FONTCONFIG_HEADER)
    message(FATAL_ERROR "fontconfig/fontconfig.h was not found: install the Debian package "
                        "libfontconfig-dev, or run 'make test', which installs it.")
  endif()
  set_target_properties(PkgConfig::FONTCONFIG PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${PLOTWISE_FONTCONFIG_HEADER} INTERFACE_LINK_LIBRARIES "${CMAKE_DL_LIBS}")
endif()
