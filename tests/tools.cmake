# chronark-cli runs as a separate process on fixture files and the sample document.
chronark_add_test(chronark_cli_test SOURCES chronark_cli_test.cpp LIBS chronark_clicore)
target_compile_definitions(chronark_cli_test PRIVATE
  CHRONARK_CLI="$<TARGET_FILE:chronark-cli>")
add_dependencies(chronark_cli_test chronark-cli)
