# The main window's tests: the real window on the offscreen platform, driven through its
# actions, keys and mouse, with scripted prompts and file dialogs and a settable clock.
if(CHRONARK_GUI)
  foreach(unit views measure commands)
    chronark_add_test(mainwindow_${unit}_test
      SOURCES mainwindow_${unit}_test.cpp mainwindow_test_main.cpp
      LIBS chronark_mainwindow Qt6::Test)
  endforeach()
endif()
