# DRUX in a window of its own under a real X window manager (openbox on a private Xvfb, no Wine
# virtual desktop), driven with real X input (xdotool): window-manager-test.sh, with a small
# reader of DRUX's state between the inputs.
add_executable(window_probe WindowProbe.cpp)
target_link_libraries(window_probe PRIVATE user32 kernel32)
add_test(NAME app_window_manager_test
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/window-manager-test.sh ${CMAKE_BINARY_DIR}
          $<TARGET_FILE:DRUX> $<TARGET_FILE:window_probe>)
set_tests_properties(app_window_manager_test PROPERTIES TIMEOUT 300)
add_dependencies(window_probe DRUX)
