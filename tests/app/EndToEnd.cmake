# End-to-end tests: DRUX.exe runs under Wine in the virtual desktop and is driven with real input.
drux_add_test(app_e2e_test
  SOURCES Driver.cpp WindowTest.cpp FindTest.cpp SortTest.cpp HostileFileTest.cpp LoadSortTest.cpp
  LIBS user32 gdi32 comctl32 kernel32
  TIMEOUT 600)
# The program under test, named by its build path; the driver turns it into Wine's Z: form.
target_compile_definitions(app_e2e_test PRIVATE DRUX_EXE="$<TARGET_FILE:DRUX>")
add_dependencies(app_e2e_test DRUX)
