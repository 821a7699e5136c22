drux_add_test(widget_test
  SOURCES WidgetFixture.cpp WidgetRegistryTest.cpp ListWidgetTest.cpp ImageWidgetTest.cpp
  LIBS drux_widget drux_runtime)
