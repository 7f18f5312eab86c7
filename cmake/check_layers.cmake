# The layer rules, checked: reads every #include "..." under src/ and tools/
# of SOURCE_DIR and fails, naming the file and the include, for any include a
# layer may not make. Run as a test:
#   cmake -DSOURCE_DIR=<tree> -P cmake/check_layers.cmake
#
# Layers, lowest first (a layer may include its own folder and those listed):
#   base            -
#   catalogue       base
#   platform/ini    base
#   platform        base, platform/ini          (the files directly in platform/)
#   platform/posix  base, platform/ini, platform
#   platform/win32  base, platform/ini, platform
#   frame           base, platform/ini, platform, the public header
#   access          base, catalogue, frame, the public header
#   tasks           base, catalogue, frame, access, the public header
#   tools           the public header, and the internal headers named in the
#                   item of ARCHITECTURE.md that starts with TOOLS_MARKER
# A bare name ("cli.h") is the including file's own folder or a generated
# file, unless it is a public header in include/.
cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "check_layers: pass -DSOURCE_DIR=<tree>")
endif()

set(TOOLS_MARKER "- **Internal headers the tools may include:**")

set(ALLOWED_base "")
set(ALLOWED_catalogue "base")
set(ALLOWED_platform/ini "base")
set(ALLOWED_platform "base;platform/ini")
set(ALLOWED_platform/posix "base;platform/ini;platform")
set(ALLOWED_platform/win32 "base;platform/ini;platform")
set(ALLOWED_frame "base;platform/ini;platform;public")
set(ALLOWED_access "base;catalogue;frame;public")
set(ALLOWED_tasks "base;catalogue;frame;access;public")
set(ALLOWED_tools "public")

# The layer a path below src/ (or an include path) belongs to, or "" when it
# names none.
function(layer_of path out)
  if(path MATCHES "^platform/(ini|posix|win32)/")
    set(${out} "platform/${CMAKE_MATCH_1}" PARENT_SCOPE)
  elseif(path MATCHES "^platform/[^/]+$")
    set(${out} "platform" PARENT_SCOPE)
  elseif(path MATCHES "^(base|catalogue|frame|access|tasks)/")
    set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

set(tool_headers "")
if(EXISTS "${SOURCE_DIR}/ARCHITECTURE.md")
  # The marked item runs on over its indented continuation lines.
  file(STRINGS "${SOURCE_DIR}/ARCHITECTURE.md" architecture_lines)
  set(in_item FALSE)
  foreach(line IN LISTS architecture_lines)
    string(FIND "${line}" "${TOOLS_MARKER}" at)
    if(at EQUAL 0)
      set(in_item TRUE)
    elseif(NOT line MATCHES "^  +[^ ]")
      set(in_item FALSE)
    endif()
    if(in_item)
      string(REGEX MATCHALL "`[^`]+`" quoted "${line}")
      foreach(name IN LISTS quoted)
        string(REPLACE "`" "" name "${name}")
        list(APPEND tool_headers "${name}")
      endforeach()
    endif()
  endforeach()
endif()

file(GLOB_RECURSE sources LIST_DIRECTORIES false RELATIVE "${SOURCE_DIR}"
     "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cc" "${SOURCE_DIR}/src/*.inc"
     "${SOURCE_DIR}/tools/*.h" "${SOURCE_DIR}/tools/*.cc")
list(SORT sources)

set(violations 0)
foreach(source IN LISTS sources)
  if(source MATCHES "^tools/")
    set(from "tools")
  else()
    string(REGEX REPLACE "^src/" "" below_src "${source}")
    layer_of("${below_src}" from)
    if(from STREQUAL "")
      message("${source}: lies in no layer of src/")
      math(EXPR violations "${violations} + 1")
      continue()
    endif()
  endif()

  file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" included "${line}")
    if(NOT included MATCHES "/")
      if(EXISTS "${SOURCE_DIR}/include/${included}")
        set(to "public")
      else()
        continue()  # the file's own folder, or generated
      endif()
    else()
      layer_of("${included}" to)
    endif()

    set(allowed FALSE)
    if(to STREQUAL from)
      set(allowed TRUE)
    elseif(to IN_LIST ALLOWED_${from})
      set(allowed TRUE)
    elseif(from STREQUAL "tools" AND included IN_LIST tool_headers)
      set(allowed TRUE)
    endif()
    if(NOT allowed)
      if(from STREQUAL "tools")
        string(REPLACE ";" ", " rule "the public header, ${tool_headers}")
      else()
        string(REPLACE ";" ", " rule "${from}, ${ALLOWED_${from}}")
        string(REPLACE "public" "the public header" rule "${rule}")
      endif()
      message("${source}: #include \"${included}\" crosses the layers (${from} may include ${rule})")
      math(EXPR violations "${violations} + 1")
    endif()
  endforeach()
endforeach()

if(violations GREATER 0)
  message(FATAL_ERROR "check_layers: ${violations} include(s) across the layers; see ARCHITECTURE.md")
endif()
list(LENGTH sources checked)
message(STATUS "check_layers: ${checked} files follow the layer rules")
