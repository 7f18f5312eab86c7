# Language tables: the gettext catalogues in lang/ are the one source of every
# localized string. lang/orxProperty.pot holds the English texts (and is the
# English table), lang/<language>.po one translation each; lang/compile_po.py
# turns them into what the library reads at run time.
#
# Functions:
#   orx_language_table(<language> <output.lang>)
#       Builds the runtime table of <language> ("en", "de", ...) as a build
#       step: UTF-8 lines ID=TEXT, as the POSIX library loads them.
#   orx_language_rc(<language> <output.rc>)
#       Writes a Windows resource script holding one STRINGTABLE with the
#       strings of <language> (LANGUAGE set from the catalogue's Language
#       header), as a build step. Add <output.rc> to the sources of a
#       resource-only DLL, e.g.
#         orx_language_rc(de ${CMAKE_CURRENT_BINARY_DIR}/de.rc)
#         add_library(orxProperty_de MODULE ${CMAKE_CURRENT_BINARY_DIR}/de.rc)
#       A translation missing, fuzzy or made for an older English text
#       falls back to the English text in both forms.
#
# Variables set here:
#   ORX_LANGUAGES       every language with a catalogue, "en" first
#   ORX_LANG_BUILD_DIR  the folder the runtime tables are built into
#   ORX_LANG_DIR        the folder the tables are installed to (absolute, as
#                       configured; the library looks beside itself first)
include_guard(GLOBAL)
include(GNUInstallDirs)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(ORX_LANG_SOURCE_DIR ${PROJECT_SOURCE_DIR}/lang)
set(ORX_LANG_COMPILER ${ORX_LANG_SOURCE_DIR}/compile_po.py)
set(ORX_LANG_TEMPLATE ${ORX_LANG_SOURCE_DIR}/orxProperty.pot)
set(ORX_LANG_BUILD_DIR ${PROJECT_BINARY_DIR}/lang)
set(ORX_LANG_DIR "${CMAKE_INSTALL_FULL_DATADIR}/orxProperty/lang")

file(GLOB ORX_PO_FILES CONFIGURE_DEPENDS ${ORX_LANG_SOURCE_DIR}/*.po)
set(ORX_LANGUAGES en)
foreach(po IN LISTS ORX_PO_FILES)
  get_filename_component(language ${po} NAME_WE)
  list(APPEND ORX_LANGUAGES ${language})
endforeach()

# The catalogue of a language and the extra arguments its compilation takes.
function(_orx_language_source language out_po out_args)
  if(language STREQUAL "en")
    set(${out_po} ${ORX_LANG_TEMPLATE} PARENT_SCOPE)
    set(${out_args} "" PARENT_SCOPE)
  elseif(EXISTS ${ORX_LANG_SOURCE_DIR}/${language}.po)
    set(${out_po} ${ORX_LANG_SOURCE_DIR}/${language}.po PARENT_SCOPE)
    set(${out_args} --template ${ORX_LANG_TEMPLATE} PARENT_SCOPE)
  else()
    message(FATAL_ERROR "no catalogue for language '${language}' in ${ORX_LANG_SOURCE_DIR}")
  endif()
endfunction()

function(_orx_compile_language mode language output)
  _orx_language_source(${language} po args)
  add_custom_command(OUTPUT ${output}
                     COMMAND ${Python3_EXECUTABLE} ${ORX_LANG_COMPILER} ${mode} ${po} ${output}
                             ${args}
                     DEPENDS ${ORX_LANG_COMPILER} ${po} ${ORX_LANG_TEMPLATE}
                     COMMENT "Compiling the ${language} strings (${mode})" VERBATIM)
endfunction()

function(orx_language_table language output)
  _orx_compile_language(lang ${language} ${output})
endfunction()

function(orx_language_rc language output)
  _orx_compile_language(rc ${language} ${output})
endfunction()

# The runtime tables of every language, built with the library.
set(ORX_LANG_TABLES "")
foreach(language IN LISTS ORX_LANGUAGES)
  orx_language_table(${language} ${ORX_LANG_BUILD_DIR}/${language}.lang)
  list(APPEND ORX_LANG_TABLES ${ORX_LANG_BUILD_DIR}/${language}.lang)
endforeach()
file(MAKE_DIRECTORY ${ORX_LANG_BUILD_DIR})
add_custom_target(orx_language_tables ALL DEPENDS ${ORX_LANG_TABLES})

# The English table embedded in the library: the bytes of the built en.lang,
# so the built-in copy and the installed file cannot drift apart.
set(ORX_BUILTIN_EN_INC ${PROJECT_BINARY_DIR}/generated/builtin_en_lang.inc)
add_custom_command(OUTPUT ${ORX_BUILTIN_EN_INC}
                   COMMAND ${Python3_EXECUTABLE} ${ORX_LANG_COMPILER} bytes
                           ${ORX_LANG_BUILD_DIR}/en.lang ${ORX_BUILTIN_EN_INC}
                   DEPENDS ${ORX_LANG_COMPILER} ${ORX_LANG_BUILD_DIR}/en.lang
                   COMMENT "Embedding the English strings" VERBATIM)
