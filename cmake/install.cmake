# Installation: the library with its SONAME link, the headers (orxProperty.h,
# the generated orxPropertyIds.h, the C++ wrapper orxProperty.hpp), a CMake
# package (find_package(orxProperty) gives orxProperty::orxProperty), a
# pkg-config file, the orxprop tool, the manual pages, the license.
#
# Everything is relocatable: an install copied or installed to another prefix
# than the configured one works where it lands. orxprop carries the library's
# objects itself, the pkg-config file and the CMake package locate the prefix
# from their own folders, and the library finds its language tables relative
# to its own file.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The header's version macros and the project's version are one number.
file(STRINGS ${PROJECT_SOURCE_DIR}/include/orxProperty.h ORX_VERSION_LINES
     REGEX "^#define ORX_PROPERTY_VERSION_(MAJOR|MINOR|PATCH) ")
foreach(part MAJOR MINOR PATCH)
  string(REGEX MATCH "ORX_PROPERTY_VERSION_${part} ([0-9]+)" _ "${ORX_VERSION_LINES}")
  if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION_${part})
    message(FATAL_ERROR "include/orxProperty.h says ORX_PROPERTY_VERSION_${part} "
                        "'${CMAKE_MATCH_1}', the project is ${PROJECT_VERSION}")
  endif()
endforeach()

set(ORX_PUBLIC_HEADERS ${PROJECT_SOURCE_DIR}/include/orxProperty.h
    ${PROJECT_SOURCE_DIR}/include/orxProperty.hpp ${PROJECT_SOURCE_DIR}/include/orxPropertyBase.hpp
    ${ORX_IDS_HEADER})
set_target_properties(orxProperty PROPERTIES PUBLIC_HEADER "${ORX_PUBLIC_HEADERS}")
install(TARGETS orxProperty EXPORT orxPropertyTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT orxPropertyTargets NAMESPACE orxProperty::
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/orxProperty)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/orxPropertyConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/orxPropertyConfig.cmake
                              INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/orxProperty)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/orxPropertyConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/orxPropertyConfig.cmake
              ${PROJECT_BINARY_DIR}/orxPropertyConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/orxProperty)

# The .pc file names the prefix by its own place: ${pcfiledir} and the way up.
file(RELATIVE_PATH ORX_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig
     ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" ORX_PC_TO_PREFIX "${ORX_PC_TO_PREFIX}")
file(RELATIVE_PATH ORX_PC_LIBDIR ${CMAKE_INSTALL_PREFIX} ${CMAKE_INSTALL_FULL_LIBDIR})
file(RELATIVE_PATH ORX_PC_INCLUDEDIR ${CMAKE_INSTALL_PREFIX} ${CMAKE_INSTALL_FULL_INCLUDEDIR})
configure_file(${PROJECT_SOURCE_DIR}/cmake/orxProperty.pc.in
               ${PROJECT_BINARY_DIR}/orxProperty.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/orxProperty.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(FILES ${PROJECT_SOURCE_DIR}/docs/man/orxProperty.3
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man3)
install(FILES ${PROJECT_SOURCE_DIR}/docs/man/orxProperty.5
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man5)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(TARGET orxprop)
  install(TARGETS orxprop RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/tools/cli/orxprop.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
