drux_add_test(drawing_test
  SOURCES WidgetFixture.cpp ImportCounter.cpp DrawingTest.cpp ImageTest.cpp FontTest.cpp ResourceTest.cpp
  LIBS drux_widget drux_runtime)
