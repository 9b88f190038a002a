# Generator of realistic .ckx documents, for benchmarks and load tests of any layer.
add_library(chronark_docgen STATIC docgen.cpp)
target_include_directories(chronark_docgen PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(chronark_docgen PUBLIC chronark_base PRIVATE chronark_warnings)

# libexpat is the yardstick for the parser; it is needed by the benchmarks only.
find_package(EXPAT REQUIRED)
chronark_add_bench(bench_xml SOURCES bench_xml.cpp
  LIBS chronark_xml chronark_docgen EXPAT::EXPAT)
add_executable(bench_xml_once bench_xml_once.cpp)
target_link_libraries(bench_xml_once PRIVATE chronark_xml chronark_docgen EXPAT::EXPAT
  chronark_warnings)
