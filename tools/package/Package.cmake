# The Windows package: ${CMAKE_BINARY_DIR}/dist/DRUX-<version>-<win32|win64>.zip with DRUX.exe,
# the default Constants.out, the same constants' x86-64 values Constants-x64.out, constgen.exe
# and README.txt, and beside it <zip>.sha256, its checksum in sha256sum's format; made in every
# ALL build so that the package test finds them. <version> is the project's version (the top-level
# CMakeLists.txt), which the programs' version resources carry too. `make dist` takes the 32-bit
# build's zip and checksum; the package test unpacks the runnable build's, made by the same steps
# (where Wine can only run 64-bit programs, the win64 zip of build-x64). Included from
# tools/CMakeLists.txt; the zip itself is made by MakeZip.cmake.

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(DRUX_PACKAGE_ARCH win32)
  set(package_bits 32)
else()
  set(DRUX_PACKAGE_ARCH win64)
  set(package_bits 64)
endif()
set(DRUX_PACKAGE_ZIP
    ${CMAKE_BINARY_DIR}/dist/DRUX-${PROJECT_VERSION}-${DRUX_PACKAGE_ARCH}.zip)
set_property(GLOBAL PROPERTY DRUX_PACKAGE_ZIP ${DRUX_PACKAGE_ZIP})
get_property(package_constants GLOBAL PROPERTY DRUX_CONSTANTS_FILE)
get_property(package_constants_x64 GLOBAL PROPERTY DRUX_CONSTANTS_X64_FILE)

add_custom_command(OUTPUT ${DRUX_PACKAGE_ZIP} ${DRUX_PACKAGE_ZIP}.sha256
  COMMAND ${CMAKE_COMMAND}
          -DEXE=$<TARGET_FILE:DRUX>
          -DCONSTANTS=${package_constants}
          -DCONSTANTS_X64=${package_constants_x64}
          -DCONSTGEN=$<TARGET_FILE:constgen>
          -DREADME=${CMAKE_CURRENT_LIST_DIR}/README.txt.in
          -DVERSION=${PROJECT_VERSION}
          -DBITS=${package_bits}
          -DOUT=${DRUX_PACKAGE_ZIP}
          -P ${CMAKE_CURRENT_LIST_DIR}/MakeZip.cmake
  DEPENDS DRUX constgen constants_data ${package_constants} ${package_constants_x64}
          ${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${CMAKE_CURRENT_LIST_DIR}/MakeZip.cmake
  COMMENT "Packaging ${DRUX_PACKAGE_ZIP}"
  VERBATIM)
add_custom_target(package_zip ALL DEPENDS ${DRUX_PACKAGE_ZIP})
