# orx_string_table_rc(LANG_FILE RC_FILE): writes a resource script whose
# STRINGTABLE holds the strings of a language table (lang/*.lang: ID=TEXT
# lines, '#' comments, the escapes \n, \t and \\). The script is UTF-8 and
# says so (code_page 65001); windres decodes plain strings by that code page
# (its L"" strings would take the bytes one by one), so the texts go through
# as written. The file is
# rewritten only when its content changes, and a changed table re-runs CMake.
function(orx_string_table_rc lang_file rc_file)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${lang_file})
  file(STRINGS ${lang_file} lines ENCODING UTF-8)
  set(body "")
  # Stand-ins for the three escapes while lone backslashes are doubled:
  # control characters, which a table's text never holds.
  string(ASCII 1 escaped_backslash)
  string(ASCII 2 escaped_newline)
  string(ASCII 3 escaped_tab)
  foreach(line IN LISTS lines)
    if(line MATCHES "^([0-9]+)=(.*)$")
      set(id ${CMAKE_MATCH_1})
      set(text "${CMAKE_MATCH_2}")
      string(REGEX REPLACE "\r$" "" text "${text}")
      # The table's own escapes are the resource compiler's too; any other
      # backslash is a backslash, and a quote is doubled.
      string(REPLACE "\\\\" "${escaped_backslash}" text "${text}")
      string(REPLACE "\\n" "${escaped_newline}" text "${text}")
      string(REPLACE "\\t" "${escaped_tab}" text "${text}")
      string(REPLACE "\\" "\\\\" text "${text}")
      string(REPLACE "${escaped_backslash}" "\\\\" text "${text}")
      string(REPLACE "${escaped_newline}" "\\n" text "${text}")
      string(REPLACE "${escaped_tab}" "\\t" text "${text}")
      string(REPLACE "\"" "\"\"" text "${text}")
      string(APPEND body "  ${id}, \"${text}\"\n")
    endif()
  endforeach()
  file(CONFIGURE OUTPUT ${rc_file} CONTENT
       "#pragma code_page(65001)\nLANGUAGE 0, 0\nSTRINGTABLE\nBEGIN\n${body}END\n")
endfunction()
