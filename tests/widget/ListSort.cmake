drux_add_test(list_sort_test
  SOURCES WidgetFixture.cpp ListSortTest.cpp
  LIBS drux_widget drux_runtime)
