add_dependencies(${suite} partita)
target_compile_definitions(${suite} PRIVATE PARTITA_CLI_PATH="$<TARGET_FILE:partita>")
target_link_libraries(${suite} PRIVATE partita_cli_lib)
