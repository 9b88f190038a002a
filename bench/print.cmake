# The printed report's layout and PDF output against their time limits; a plain program.
if(CHRONARK_GUI)
  add_executable(bench_print bench_print.cpp)
  target_link_libraries(bench_print PRIVATE chronark_export chronark_ui chronark_docgen
    Qt6::Gui Qt6::PrintSupport chronark_warnings)
endif()
