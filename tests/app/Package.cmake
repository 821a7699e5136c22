# The Windows package unpacked into an empty folder: DRUX.exe starts there on the default data set.
# package-test.sh unpacks the zip of this build and runs the test program on what it unpacked.
drux_enable_gtest()
add_executable(app_package_test Driver.cpp PackageTest.cpp)
target_link_libraries(app_package_test PRIVATE user32 gdi32 comctl32 kernel32 gtest gtest_main)
# The program comes from the unpacked folder (DRUX_EXE in the environment), never the build.
target_compile_definitions(app_package_test PRIVATE DRUX_EXE="")
get_property(package_zip GLOBAL PROPERTY DRUX_PACKAGE_ZIP)
add_test(NAME app_package_test
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/package-test.sh ${CMAKE_COMMAND} ${package_zip}
          $<TARGET_FILE:app_package_test>)
set_tests_properties(app_package_test PROPERTIES TIMEOUT 300)
add_dependencies(app_package_test package_zip)
