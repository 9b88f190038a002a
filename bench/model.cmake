chronark_add_bench(bench_segments SOURCES bench_segments.cpp LIBS chronark_model)
chronark_add_bench(bench_file SOURCES bench_file.cpp
  LIBS chronark_model chronark_docgen)
add_executable(load_peak_memory load_peak_memory.cpp)
target_link_libraries(load_peak_memory PRIVATE chronark_model chronark_docgen
  chronark_warnings)
chronark_add_bench(bench_hostile SOURCES bench_hostile.cpp LIBS chronark_model)
chronark_add_bench(bench_fieldsettings SOURCES bench_fieldsettings.cpp
  LIBS chronark_model chronark_docgen)
chronark_add_bench(bench_undo SOURCES bench_undo.cpp LIBS chronark_model)
