drux_add_test(smoke_test SOURCES SmokeTest.cpp LIBS drux_runtime)
