# Checks that includes go down the layers of the plug-in, never up:
#
#   cmake -DSOURCE_DIR=<source root> [-DPRETEND=<folder>:<path>] -P include_layers.cmake
#
# An include names a folder by its first path component when that is a folder of the source
# root; anything else (system and outside libraries, a header of the same folder without a
# path) is not a layer and passes. PRETEND adds one include to the folder's files as if a file
# there held it, so that the check itself can be shown to refuse an upward include.
# Exit status 0 when every include is allowed; otherwise each offending include is listed.

cmake_minimum_required(VERSION 3.20)

# The folders each folder may include.
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/layers.cmake)

if(NOT IS_DIRECTORY "${SOURCE_DIR}")
  message(FATAL_ERROR "include_layers: SOURCE_DIR '${SOURCE_DIR}' is not a folder")
endif()

set(problems "")
set(files_checked 0)

# Adds a problem when `path`, included by `file` of `folder`, names a root folder that
# `folder` may not include.
function(check_include folder file path)
  if(NOT path MATCHES "^([^/]+)/")
    return()
  endif()
  set(target "${CMAKE_MATCH_1}")
  if(NOT IS_DIRECTORY "${SOURCE_DIR}/${target}")
    return()
  endif()
  if(NOT target IN_LIST allowed_${folder})
    string(REPLACE ";" "/, " allowed "${allowed_${folder}}")
    list(APPEND problems "${file} includes ${path}: ${folder}/ may include only ${allowed}/")
    set(problems "${problems}" PARENT_SCOPE)
  endif()
endfunction()

foreach(folder IN LISTS checked_folders)
  file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
       "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.c" "${SOURCE_DIR}/${folder}/*.cpp")
  list(SORT sources)
  foreach(file IN LISTS sources)
    math(EXPR files_checked "${files_checked} + 1")
    file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]+[\">]")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">].*$" "\\1" path "${line}")
      check_include(${folder} "${file}" "${path}")
    endforeach()
  endforeach()
endforeach()

if(DEFINED PRETEND)
  if(NOT PRETEND MATCHES "^([^:]+):(.+)$" OR NOT CMAKE_MATCH_1 IN_LIST checked_folders)
    message(FATAL_ERROR "include_layers: PRETEND must be <checked folder>:<path>, not '${PRETEND}'")
  endif()
  set(pretend_folder "${CMAKE_MATCH_1}")
  check_include(${pretend_folder} "${pretend_folder}/(pretend)" "${CMAKE_MATCH_2}")
endif()

# A wrong root would find nothing and pass every time.
if(files_checked EQUAL 0)
  message(FATAL_ERROR "include_layers: no sources found under '${SOURCE_DIR}'")
endif()
if(problems)
  list(LENGTH problems count)
  string(REPLACE ";" "\n  " listed "${problems}")
  message(FATAL_ERROR "include_layers: ${count} include(s) going up the layers:\n  ${listed}")
endif()
message(STATUS "include_layers: ${files_checked} files, every include goes down the layers")
