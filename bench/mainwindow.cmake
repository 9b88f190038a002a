# The main window's entry list on a large project (Qt; not in the sanitizer build).
if(CHRONARK_GUI)
  chronark_add_bench(bench_mainwindow SOURCES bench_mainwindow.cpp LIBS chronark_mainwindow)
endif()
