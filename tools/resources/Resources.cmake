# The Windows resources of the shipped programs: DRUX's icon as icon resource 1 (the window layer
# makes it every window's class icon, which the taskbar and Alt+Tab show) and a version resource
# whose file and product version are the project's version, the one the package's name carries.
# Included from the top-level CMakeLists.txt in the cross build; a program takes them with
# drux_resources(<target> "<file description>").
#
# The icon is drawn at build time by DruxIcon.cpp, built for the build machine. Without the
# resource compiler, the icon's source or a compiler for it the build stops here: a package whose
# programs lack them would look broken to a Windows user (the default program icon, an empty
# Details page).

set(DRUX_RESOURCES_DIR ${CMAKE_CURRENT_LIST_DIR})
set(DRUX_ICON_SOURCE ${DRUX_RESOURCES_DIR}/DruxIcon.cpp)
set(DRUX_ICON_FILE ${CMAKE_BINARY_DIR}/resources/DRUX.ico)

if(NOT CMAKE_RC_COMPILER)
  message(FATAL_ERROR "DRUX: no resource compiler is named (CMAKE_RC_COMPILER; MinGW-w64's "
                      "windres, as the toolchain files in cmake/ name it); it puts the icon and "
                      "the version resource into DRUX.exe and constgen.exe")
endif()
find_program(drux_rc_found NAMES ${CMAKE_RC_COMPILER} NO_CACHE)
if(NOT drux_rc_found)
  message(FATAL_ERROR "DRUX: the resource compiler ${CMAKE_RC_COMPILER} is missing (Debian: "
                      "binutils-mingw-w64-i686 or -x86-64, which the MinGW-w64 compilers bring; "
                      "tools/setup.sh installs them); it puts the icon and the version resource "
                      "into DRUX.exe and constgen.exe")
endif()
enable_language(RC)

if(NOT EXISTS ${DRUX_ICON_SOURCE})
  message(FATAL_ERROR "DRUX: the icon's drawing program ${DRUX_ICON_SOURCE} is missing")
endif()
# The cross toolchain files set CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER, so this finds a compiler
# of the build machine.
find_program(DRUX_HOST_CXX NAMES c++ g++ clang++ DOC "C++ compiler for build-time tools")
if(NOT DRUX_HOST_CXX)
  message(FATAL_ERROR "DRUX: no C++ compiler for the build machine (DRUX_HOST_CXX) to build the "
                      "icon's drawing program ${DRUX_ICON_SOURCE}")
endif()
set(icon_drawer ${CMAKE_BINARY_DIR}/resources/DruxIcon${CMAKE_HOST_EXECUTABLE_SUFFIX})
add_custom_command(OUTPUT ${icon_drawer}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/resources
  COMMAND ${DRUX_HOST_CXX} -std=c++17 -O2 -o ${icon_drawer} ${DRUX_ICON_SOURCE}
  DEPENDS ${DRUX_ICON_SOURCE}
  COMMENT "Building the icon's drawing program for the build machine"
  VERBATIM)
add_custom_command(OUTPUT ${DRUX_ICON_FILE}
  COMMAND ${icon_drawer} ${DRUX_ICON_FILE}
  DEPENDS ${icon_drawer}
  COMMENT "Drawing ${DRUX_ICON_FILE}"
  VERBATIM)
add_custom_target(drux_icon DEPENDS ${DRUX_ICON_FILE})

# drux_resources(<target> <description>): icon resource 1 and the version resource, the file
# description in plain text without double quotes.
function(drux_resources target description)
  set(DRUX_RC_DESCRIPTION "${description}")
  set(DRUX_RC_INTERNAL_NAME "${target}")
  set(DRUX_RC_FILE_NAME "${target}${CMAKE_EXECUTABLE_SUFFIX}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${DRUX_RESOURCES_DIR}/Resources.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  # windres reads the icon, which no dependency scanner follows.
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${DRUX_ICON_FILE})
  add_dependencies(${target} drux_icon)
endfunction()
