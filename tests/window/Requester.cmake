drux_add_test(requester_test SOURCES RequesterTest.cpp LIBS drux_window drux_runtime)
