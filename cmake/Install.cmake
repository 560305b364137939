# The Grid and the map formats as a package: headers under include/gridlib,
# the two libraries, a CMake package giving gridlib::grid and gridlib::maps,
# and a pkg-config file. Nothing else of the repository is installed.
include(CMakePackageConfigHelpers)

set(GRIDLIB_VERSION 1.0.0)
set(GRIDLIB_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/gridlib)

list(TRANSFORM GRIDLIB_PUBLIC_HEADERS PREPEND ${PROJECT_SOURCE_DIR}/gridlib/)
list(TRANSFORM MAPS_PUBLIC_HEADERS PREPEND ${PROJECT_SOURCE_DIR}/maps/)
install(FILES ${GRIDLIB_PUBLIC_HEADERS} ${MAPS_PUBLIC_HEADERS}
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/gridlib)
install(TARGETS gridlib maps EXPORT gridlibTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT gridlibTargets NAMESPACE gridlib:: DESTINATION ${GRIDLIB_CMAKE_DIR})

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/gridlibConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/gridlibConfig.cmake
                              INSTALL_DESTINATION ${GRIDLIB_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/gridlibConfigVersion.cmake
                                 VERSION ${GRIDLIB_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/gridlibConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/gridlibConfigVersion.cmake
        DESTINATION ${GRIDLIB_CMAKE_DIR})

# The .pc file finds the prefix from its own place, so that an install with
# --prefix into another folder than the configured one still works.
file(RELATIVE_PATH GRIDLIB_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" GRIDLIB_PC_TO_PREFIX "${GRIDLIB_PC_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/gridlib.pc.in ${CMAKE_CURRENT_BINARY_DIR}/gridlib.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/gridlib.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
