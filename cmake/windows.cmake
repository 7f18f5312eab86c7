# Windows builds (mingw-w64): orxProperty.dll without the "lib" prefix, its
# import library orxProperty.lib, exactly the exports of orxProperty.def,
# the English strings as the DLL's own resources, and one resource-only
# language DLL per translation. (The toolchain links the C and C++ runtimes
# and winpthread in, so the DLL and the programs import system DLLs only.)

target_compile_definitions(orx_objects PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                              _WIN32_WINNT=0x0601)
target_compile_definitions(orx_objects PRIVATE ORX_BUILDING_DLL)

set_target_properties(orxProperty PROPERTIES PREFIX "" IMPORT_PREFIX "" IMPORT_SUFFIX ".lib")
target_link_libraries(orxProperty PRIVATE ole32)
target_link_libraries(orx_internal PUBLIC ole32)

# The export list. 64-bit: the plain names as they are. 32-bit: __stdcall
# decorates each name with its argument bytes ("orxGetProperty@12"); the
# linker takes the decorated list and strips the suffixes (--kill-at), and
# dlltool writes an import library that maps the decorated names callers
# reference to the plain exports. Every argument is 4 bytes there, so the
# suffix is 4 times the parameter count read from the header.
set(ORX_DEF_FILE ${PROJECT_SOURCE_DIR}/cmake/orxProperty.def)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ORX_DEF_FILE}
             ${PROJECT_SOURCE_DIR}/include/orxProperty.h)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  file(READ ${PROJECT_SOURCE_DIR}/include/orxProperty.h ORX_HEADER)
  string(REGEX MATCHALL "ORX_CALL [A-Za-z]+\\([^)]*\\)" ORX_DECLARATIONS "${ORX_HEADER}")
  file(READ ${ORX_DEF_FILE} ORX_DEF)
  foreach(declaration IN LISTS ORX_DECLARATIONS)
    string(REGEX REPLACE "ORX_CALL ([A-Za-z]+)\\(([^)]*)\\)" "\\1" name "${declaration}")
    string(REGEX REPLACE "ORX_CALL ([A-Za-z]+)\\(([^)]*)\\)" "\\2" parameters "${declaration}")
    set(bytes 0)
    if(NOT parameters STREQUAL "void")
      string(REGEX REPLACE "[^,]" "" commas "${parameters}")
      string(LENGTH "${commas}" count)
      math(EXPR bytes "(${count} + 1) * 4")
    endif()
    string(REGEX REPLACE "\n  ${name}\n" "\n  ${name}@${bytes}\n" ORX_DEF "${ORX_DEF}")
  endforeach()
  set(ORX_DEF_FILE ${PROJECT_BINARY_DIR}/generated/orxProperty-x86.def)
  file(CONFIGURE OUTPUT ${ORX_DEF_FILE} CONTENT "${ORX_DEF}")
  target_link_options(orxProperty PRIVATE -Wl,--kill-at)
  add_custom_command(TARGET orxProperty POST_BUILD
                     COMMAND ${CMAKE_DLLTOOL} -k -d ${ORX_DEF_FILE} -D orxProperty.dll
                             -l $<TARGET_LINKER_FILE:orxProperty>
                     VERBATIM)
endif()
target_sources(orxProperty PRIVATE ${ORX_DEF_FILE})

# String tables as resources, from the same gettext catalogues as the Linux
# tables (cmake/languages.cmake): English in the library's own resources,
# every language as a resource-only DLL lang/<language>.dll beside it.
orx_language_rc(en ${PROJECT_BINARY_DIR}/generated/en.rc)
target_sources(orx_objects PRIVATE ${PROJECT_BINARY_DIR}/generated/en.rc)
# An archive member nothing refers to is not linked, so programs linking
# orx_internal get the resources compiled in directly.
target_sources(orx_internal INTERFACE ${PROJECT_BINARY_DIR}/generated/en.rc)

foreach(lang IN LISTS ORX_LANGUAGES)
  orx_language_rc(${lang} ${PROJECT_BINARY_DIR}/generated/lang_${lang}.rc)
  add_library(orx_lang_${lang} MODULE ${PROJECT_BINARY_DIR}/generated/lang_${lang}.rc)
  set_target_properties(orx_lang_${lang} PROPERTIES PREFIX "" OUTPUT_NAME ${lang}
                        LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin/lang LINKER_LANGUAGE C)
  # No entry point and no runtime: nothing in a language DLL runs.
  target_link_options(orx_lang_${lang} PRIVATE -nostdlib -Wl,-e,0)
  set_target_properties(orx_lang_${lang} PROPERTIES LINK_LIBRARIES "")
  add_dependencies(orxProperty orx_lang_${lang})
endforeach()

# Programs linking the objects statically play the loader's part themselves,
# and call the exports directly rather than through the import table.
target_compile_definitions(orx_internal INTERFACE ORX_STATIC)
target_sources(orx_internal INTERFACE ${PROJECT_SOURCE_DIR}/src/frame/attach_static_win32.cc)

# orxprop's two header-only libraries come from the build machine: their
# folders alone (not the rest of /usr/include, which belongs to Linux) are
# linked into an include folder of the cross build.
set(ORX_HOST_HEADERS ${PROJECT_BINARY_DIR}/host-headers)
foreach(folder CLI nlohmann)
  if(EXISTS /usr/include/${folder})
    file(MAKE_DIRECTORY ${ORX_HOST_HEADERS})
    file(CREATE_LINK /usr/include/${folder} ${ORX_HOST_HEADERS}/${folder} SYMBOLIC)
  endif()
endforeach()
add_library(CLI11::CLI11 INTERFACE IMPORTED)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 INTERFACE ${ORX_HOST_HEADERS})
target_include_directories(nlohmann_json::nlohmann_json INTERFACE ${ORX_HOST_HEADERS})
