# The main window's entry list on a large project (Qt; not in the sanitizer build).
if(CHRONARK_GUI)
  chronark_add_bench(bench_mainwindow SOURCES bench_mainwindow.cpp LIBS chronark_mainwindow)
endif()
# The search window over a generated document of 100,000 entries (Qt).
if(CHRONARK_GUI)
  chronark_add_bench(bench_search SOURCES bench_search.cpp LIBS chronark_dialogs chronark_docgen)
endif()
