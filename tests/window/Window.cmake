drux_add_test(window_test
  SOURCES WindowTestSupport.cpp WindowTest.cpp WindowEventTest.cpp WindowShortcutTest.cpp
          WindowMenuTest.cpp ClipboardTest.cpp
  LIBS drux_window drux_runtime comctl32)
