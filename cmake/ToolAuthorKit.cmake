# The tool author's kit, installed beside libokaenv.a and the headers: a
# CMake package (find_package(OkaEnv) gives OkaEnv::okaenv), a pkg-config
# file (okaenv.pc) and the hello-tool example that the programming guide
# walks through. Both descriptions locate the installation from their own
# place in it, so an installation keeps working when it is moved.
include(CMakePackageConfigHelpers)

set(OKA_INSTALL_LIBDIR lib)
set(OKA_INSTALL_INCLUDEDIR include/oka)
set(okaenv_package_dir ${OKA_INSTALL_LIBDIR}/cmake/OkaEnv)

configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/OkaEnvConfig.cmake.in
  ${CMAKE_BINARY_DIR}/OkaEnvConfig.cmake
  INSTALL_DESTINATION ${okaenv_package_dir}
  PATH_VARS OKA_INSTALL_LIBDIR OKA_INSTALL_INCLUDEDIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/OkaEnvConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/OkaEnvConfig.cmake ${CMAKE_BINARY_DIR}/OkaEnvConfigVersion.cmake
        DESTINATION ${okaenv_package_dir})

# pkg-config names each library the toolkit links (a target, a library
# name or a full path such as /usr/lib/.../libX11.so) as -lNAME; our own
# libraries are inside libokaenv.a already.
get_target_property(toolkit_libraries okatoolkit INTERFACE_LINK_LIBRARIES)
set(OKA_PKGCONFIG_LIBS "")
foreach(library ${toolkit_libraries})
  if(library MATCHES "^oka")
    continue()
  endif()
  get_filename_component(name ${library} NAME_WE)
  string(REGEX REPLACE "^.*::|^lib" "" name ${name})
  string(APPEND OKA_PKGCONFIG_LIBS "-l${name} ")
endforeach()
string(APPEND OKA_PKGCONFIG_LIBS "-pthread ${OKA_SANITIZER_FLAGS}")
string(STRIP "${OKA_PKGCONFIG_LIBS}" OKA_PKGCONFIG_LIBS)
configure_file(${CMAKE_SOURCE_DIR}/cmake/okaenv.pc.in ${CMAKE_BINARY_DIR}/okaenv.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/okaenv.pc DESTINATION ${OKA_INSTALL_LIBDIR}/pkgconfig)

install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/hello-tool DESTINATION share/oka/examples)
