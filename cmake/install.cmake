# What `cmake --install` puts under a prefix, and the Debian package made
# from it with `cpack -G DEB`:
#   bin/quillon                        the tool (finds ../lib/libquillon.so)
#   lib/libquillon.so                  the plug-in
#   lib/libvaxocore.so, libvaxoutils.so  the stand-in host's libraries
#   lib/python3/dist-packages/quillon.*.so  the Python module, when built
#   share/quillon/examples/            the example models and scripts
#   share/doc/quillon/README.md
install(TARGETS quillon vaxocore vaxoutils LIBRARY DESTINATION lib)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION share/quillon/examples
        PATTERN "__pycache__" EXCLUDE PATTERN ".gitignore" EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION share/doc/quillon)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VENDOR "Quillon")
set(CPACK_PACKAGE_CONTACT "Quillon developers <quillon@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "equation models in JSON files for an equation-oriented process-modelling host")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The shared libraries' packages (SuiteSparse, the C++ runtime) are found by
# dpkg-shlibdeps; the module's interpreter and array packages are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
if(QUILLON_PYTHON_DEPENDS)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${QUILLON_PYTHON_DEPENDS}")
    set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-matplotlib")
endif()
include(CPack)
