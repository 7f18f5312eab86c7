# Installation: the library with its SONAME link, the header, a CMake package
# (find_package(orxProperty) gives orxProperty::orxProperty), a pkg-config
# file, the orxprop tool and its manual page.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set_target_properties(orxProperty PROPERTIES PUBLIC_HEADER ${PROJECT_SOURCE_DIR}/include/orxProperty.h)
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

configure_file(${PROJECT_SOURCE_DIR}/cmake/orxProperty.pc.in
               ${PROJECT_BINARY_DIR}/orxProperty.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/orxProperty.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

if(TARGET orxprop)
  install(TARGETS orxprop RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/tools/cli/orxprop.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
