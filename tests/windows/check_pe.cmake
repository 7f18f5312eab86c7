# Checks the built PE files with objdump: orxProperty.dll exports exactly
# the names of orxProperty.def, and the DLL and each program in PROGRAMS
# import system DLLs only (no mingw runtime DLL: libstdc++, libgcc_s,
# libwinpthread are linked in).
# Usage: cmake -DOBJDUMP=... -DDLL=... -DDEF=... -DPROGRAMS="a.exe;b.exe" -P check_pe.cmake
function(imports_of file out)
  execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "objdump failed on ${file}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\n]+" names "${dump}")
  list(TRANSFORM names REPLACE "DLL Name: " "")
  set(${out} "${names}" PARENT_SCOPE)
  set(dump_of_file "${dump}" PARENT_SCOPE)
endfunction()

file(STRINGS ${DEF} def_lines REGEX "^  orx")
list(TRANSFORM def_lines STRIP)
list(SORT def_lines)

imports_of(${DLL} dll_imports)
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([^\n]+\n)*)" table "${dump_of_file}")
string(REGEX MATCHALL "\\] [^\n]+" exports "${CMAKE_MATCH_1}")
list(TRANSFORM exports REPLACE "\\] " "")
list(SORT exports)
if(NOT exports STREQUAL def_lines)
  message(FATAL_ERROR "exports differ from the .def file:\n  got: ${exports}\n  want: ${def_lines}")
endif()
list(LENGTH exports count)
message(STATUS "orxProperty.dll exports ${count} names, as the .def file lists")

foreach(file IN LISTS DLL PROGRAMS)
  imports_of(${file} imports)
  foreach(name IN LISTS imports)
    if(name MATCHES "^lib" OR name MATCHES "^(libstdc|libgcc|libwinpthread)")
      message(FATAL_ERROR "${file} imports a runtime DLL: ${name}")
    endif()
  endforeach()
  message(STATUS "${file} imports: ${imports}")
endforeach()
