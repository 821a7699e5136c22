# The default data set and the checked-in sample against the compiler that defines the data set:
# host programs, run by CTest directly (no Wine).
get_property(data_set_cc GLOBAL PROPERTY DRUX_DATA_CC)
get_property(data_set_header GLOBAL PROPERTY DRUX_DATA_SET_HEADER)
get_property(data_set_file GLOBAL PROPERTY DRUX_CONSTANTS_FILE)
if(data_set_cc)
  foreach(check "data_set_matches_compiler;${data_set_file}"
                "data_sample_matches_compiler;${CMAKE_SOURCE_DIR}/data/Constants.out")
    list(GET check 0 name)
    list(GET check 1 data)
    add_test(NAME ${name}
             COMMAND ${CMAKE_COMMAND} -DCC=${data_set_cc} -DHEADER=${data_set_header}
                     -DDATA=${data} -DWORK=${CMAKE_CURRENT_BINARY_DIR}/${name}
                     -P ${CMAKE_CURRENT_SOURCE_DIR}/scripts/DataSetMatchesCompiler.cmake)
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  endforeach()
endif()

get_property(data_set_probe GLOBAL PROPERTY DRUX_CONSTPROBE)
if(data_set_cc AND data_set_probe)
  add_test(NAME data_set_falls_back_to_sample
           COMMAND ${CMAKE_COMMAND} -DCC=${data_set_cc} -DPROBE=${data_set_probe}
                   -DCOMPILE=${CMAKE_SOURCE_DIR}/tools/constgen/ConstantsCompile.cmake
                   -DSAMPLE=${CMAKE_SOURCE_DIR}/data/Constants.out
                   -DWORK=${CMAKE_CURRENT_BINARY_DIR}/data_set_falls_back_to_sample
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/scripts/DataSetFallsBackToSample.cmake)
  set_tests_properties(data_set_falls_back_to_sample PROPERTIES TIMEOUT 300)
endif()
