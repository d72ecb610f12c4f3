# Installation and packages.
#
#   bin/plotwise                          the command-line host
#   lib/plotwise/Plotwise.fmx             the plug-in: the one file a FileMaker Server needs
#   lib/plotwise/host/libFMWrapper.so     the host stand-in the program runs the plug-in with
#   share/plotwise/fonts/                 the font map (Windows font names -> Liberation fonts)
#   share/doc/plotwise/README.md
#
# (lib and share as GNUInstallDirs gives them for the prefix.) The stand-in has a folder of its
# own so that copying the plug-in's folder into a server's Extensions folder never brings it
# along: a server has its own libFMWrapper.so. Every reference between the files is relative,
# so an installation can be moved or unpacked anywhere (DESTDIR, a package unpacked into
# another root): the program finds the stand-in through its run path, which the plug-in then
# shares, and the plug-in and font map by their paths relative to its own folder.
include(GNUInstallDirs)

set(PLOTWISE_INSTALL_PLUGIN_DIR ${CMAKE_INSTALL_LIBDIR}/plotwise)
set(PLOTWISE_INSTALL_HOST_DIR ${PLOTWISE_INSTALL_PLUGIN_DIR}/host)
set(PLOTWISE_INSTALL_FONT_MAP_DIR ${CMAKE_INSTALL_DATADIR}/plotwise/fonts)
file(RELATIVE_PATH PLOTWISE_PLUGIN_DIR_FROM_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${PLOTWISE_INSTALL_PLUGIN_DIR})
file(RELATIVE_PATH PLOTWISE_FONT_MAP_DIR_FROM_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${PLOTWISE_INSTALL_FONT_MAP_DIR})

# The build tree keeps everything next to the program; an installed program looks here too.
target_compile_definitions(plotwise_app PRIVATE
  PLOTWISE_PLUGIN_DIR_FROM_PROGRAM="${PLOTWISE_PLUGIN_DIR_FROM_PROGRAM}"
  PLOTWISE_FONT_MAP_DIR_FROM_PROGRAM="${PLOTWISE_FONT_MAP_DIR_FROM_PROGRAM}")

set_target_properties(plotwise PROPERTIES INSTALL_RPATH "$ORIGIN/${PLOTWISE_PLUGIN_DIR_FROM_PROGRAM}/host")

install(TARGETS plotwise RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS Plotwise LIBRARY DESTINATION ${PLOTWISE_INSTALL_PLUGIN_DIR})
install(TARGETS FMWrapper LIBRARY DESTINATION ${PLOTWISE_INSTALL_HOST_DIR})
# The font map's entries are links to the fonts of the system; they are installed as links.
install(DIRECTORY ${CMAKE_BINARY_DIR}/fonts/ DESTINATION ${PLOTWISE_INSTALL_FONT_MAP_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/plotwise)

# ---- Packages: make package (a Debian package and a .tar.gz) ----------------------------------
set(CPACK_PACKAGE_NAME plotwise)
set(CPACK_PACKAGE_VENDOR "Norvane")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Chart plug-in for FileMaker Pro and Server, with a command-line host")
# Where a server finds the plug-in is its own folder; the package says where to copy it.
set(CPACK_PACKAGE_DESCRIPTION "Chart plug-in for FileMaker Pro and Server, with a command-line host.
The plug-in is installed as /usr/lib/plotwise/Plotwise.fmx; a FileMaker Server loads it once it
is copied into /opt/FileMaker/FileMaker Server/Database Server/Extensions/ and enabled there.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Plotwise team <plotwise@norvane.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The fonts the font map and the fallback fonts point at, the C and C++ runtime, and, when the
# drawing libraries are the system's shared ones rather than linked in, those libraries.
# fontconfig is opened when present (it finds the fallback fonts), never required.
set(PLOTWISE_RUNTIME_PACKAGES "libc6" "libstdc++6" "libgcc-s1"
  "fonts-liberation" "fonts-dejavu-core" "fonts-droid-fallback" "fonts-nanum")
if(NOT PLOTWISE_DEPS_PREFIX)
  list(APPEND PLOTWISE_RUNTIME_PACKAGES "libgd3" "libfreetype6" "zlib1g" "libcairo2" "libharfbuzz0b" "libfribidi0")
endif()
list(JOIN PLOTWISE_RUNTIME_PACKAGES ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libfontconfig1")
include(CPack)

# The package test builds the Debian package, unpacks it into a scratch root and runs the
# program installed there. (Not in the sanitizer build, whose programs are not shipped.)
if(NOT PLOTWISE_SANITIZE)
  # The built plug-in as a server loads it: the host's library by name, no run path, nothing
  # newer than Ubuntu 22.04's C and C++ libraries.
  # Linked with the static drawing libraries, it is one file: nothing but the host's library
  # and the C and C++ runtime.
  if(PLOTWISE_DEPS_PREFIX)
    set(one_file --one-file)
  else()
    set(one_file "")
  endif()
  add_test(NAME plugin_binary
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/plugin_binary_test.sh $<TARGET_FILE:Plotwise> ${one_file})
  add_test(NAME package_install
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/install_test.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
  set_tests_properties(package_install PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE)
endif()
