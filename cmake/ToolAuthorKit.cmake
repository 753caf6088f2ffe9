# The tool author's kit: the two environment libraries as archives
# (libokaenv.a, libokaenv-gui.a) with their headers below include/oka, a
# CMake package (find_package(OkaEnv) gives OkaEnv::okaenv and
# OkaEnv::okaenv-gui), a pkg-config file for each library (okaenv.pc,
# okaenv-gui.pc) and the examples that the programming guide walks through.
# Both descriptions locate the installation from their own place in it, so an
# installation keeps working when it is moved.
include(CMakePackageConfigHelpers)

set(OKA_INSTALL_LIBDIR lib)
set(OKA_INSTALL_INCLUDEDIR include/oka)
set(okaenv_package_dir ${OKA_INSTALL_LIBDIR}/cmake/OkaEnv)

# Tool authors link one archive per environment library, merged from the
# static libraries of its folders.
function(oka_merge_archive name)
  set(archive ${CMAKE_BINARY_DIR}/lib/lib${name}.a)
  set(script "CREATE ${archive}\n")
  foreach(part ${ARGN})
    string(APPEND script "ADDLIB $<TARGET_FILE:${part}>\n")
  endforeach()
  string(APPEND script "SAVE\nEND\n")
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/${name}.mri CONTENT "${script}")
  add_custom_command(OUTPUT ${archive}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/lib
    COMMAND ${CMAKE_COMMAND} -E rm -f ${archive}
    COMMAND ${CMAKE_AR} -M < ${name}.mri
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS ${ARGN} ${CMAKE_BINARY_DIR}/${name}.mri
    COMMENT "Merging ${ARGN} into lib${name}.a")
  add_custom_target(${name}_archive ALL DEPENDS ${archive})
  install(FILES ${archive} DESTINATION ${OKA_INSTALL_LIBDIR})
endfunction()
oka_merge_archive(okaenv ${OKA_ENVIRONMENT_LIBRARIES})
oka_merge_archive(okaenv-gui ${OKA_WINDOW_LIBRARIES})

# Headers are included as <folder>/<Class>.h below include/oka: whole folders
# that belong to the environment libraries; tools/ and workspace/ install the
# headers of the libraries they share with the Tool Manager itself.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/core ${CMAKE_SOURCE_DIR}/storage
                  ${CMAKE_SOURCE_DIR}/messaging ${CMAKE_SOURCE_DIR}/toolkit
        DESTINATION ${OKA_INSTALL_INCLUDEDIR} FILES_MATCHING PATTERN "*.h")

configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/OkaEnvConfig.cmake.in
  ${CMAKE_BINARY_DIR}/OkaEnvConfig.cmake
  INSTALL_DESTINATION ${okaenv_package_dir}
  PATH_VARS OKA_INSTALL_LIBDIR OKA_INSTALL_INCLUDEDIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/OkaEnvConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/OkaEnvConfig.cmake ${CMAKE_BINARY_DIR}/OkaEnvConfigVersion.cmake
        DESTINATION ${okaenv_package_dir})

# pkg-config names each window-system library the toolkit links (a target,
# a library name or a full path such as /usr/lib/.../libX11.so) as -lNAME;
# our own libraries are inside the archives already.
set(OKA_PKGCONFIG_GUI_LIBS "")
foreach(library ${OKA_TOOLKIT_SYSTEM_LIBRARIES})
  get_filename_component(name ${library} NAME_WE)
  string(REGEX REPLACE "^.*::|^lib" "" name ${name})
  string(APPEND OKA_PKGCONFIG_GUI_LIBS "-l${name} ")
endforeach()
string(STRIP "${OKA_PKGCONFIG_GUI_LIBS}" OKA_PKGCONFIG_GUI_LIBS)
string(STRIP "-pthread ${OKA_SANITIZER_FLAGS}" OKA_PKGCONFIG_LIBS)
foreach(pc okaenv okaenv-gui)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/${pc}.pc.in ${CMAKE_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/${pc}.pc DESTINATION ${OKA_INSTALL_LIBDIR}/pkgconfig)
endforeach()

install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/hello-tool ${CMAKE_SOURCE_DIR}/examples/counter-tool
        DESTINATION share/oka/examples)
