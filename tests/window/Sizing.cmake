drux_add_test(sizing_test SOURCES SizingTest.cpp SizingLayerTest.cpp LIBS drux_window drux_runtime)
