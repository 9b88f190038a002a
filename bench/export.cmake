# Export against load of the same document; a plain program that prints both and the ratio.
add_executable(bench_export bench_export.cpp)
target_link_libraries(bench_export PRIVATE chronark_export chronark_docgen chronark_warnings)
target_compile_definitions(bench_export PRIVATE CHRONARK_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
