# constgen's tests: expression evaluation, whole files and hostile inputs, and the Constants.out
# that the build generates (reached under Wine through its drive Z:, which maps /).
drux_add_test(constgen_test
  SOURCES ConstgenExpressionTest.cpp ConstgenFileTest.cpp ConstgenDataTest.cpp
  LIBS constgen_core)
get_property(constgen_data_file GLOBAL PROPERTY DRUX_CONSTANTS_FILE)
get_property(constgen_data_generated GLOBAL PROPERTY DRUX_CONSTANTS_GENERATED)
get_property(constgen_data_header GLOBAL PROPERTY DRUX_DATA_SET_HEADER)
get_property(constgen_mingw_include GLOBAL PROPERTY DRUX_MINGW_INCLUDE)
# 0 when the build had no host compiler and copied the checked-in sample instead.
target_compile_definitions(constgen_test PRIVATE CONSTGEN_DATA_FILE="Z:${constgen_data_file}"
                                                 CONSTGEN_DATA_GENERATED=${constgen_data_generated}
                                                 CONSTGEN_DATA_SET_HEADER="Z:${constgen_data_header}"
                                                 CONSTGEN_MINGW_INCLUDE="Z:${constgen_mingw_include}")
# Same stack as constgen.exe: the nesting limits are sized for it.
target_link_options(constgen_test PRIVATE -Wl,--stack,8388608)
add_dependencies(constgen_test constants_data)
