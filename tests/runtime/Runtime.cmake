drux_add_test(runtime_test SOURCES ObjectTableTest.cpp MemoryTest.cpp RuntimeTest.cpp LIBS drux_runtime)
drux_add_test(text_test SOURCES TextTest.cpp CommandLineTest.cpp LIBS drux_runtime)
drux_add_test(file_test SOURCES FileTest.cpp LIBS drux_runtime)
