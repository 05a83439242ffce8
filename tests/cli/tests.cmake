add_dependencies(${suite} partita)
target_compile_definitions(${suite} PRIVATE PARTITA_CLI_PATH="$<TARGET_FILE:partita>")
target_link_libraries(${suite} PRIVATE partita_cli_lib)
# The chapter tests tag their files with TagLib itself.
pkg_check_modules(TAGLIB REQUIRED IMPORTED_TARGET taglib)
target_link_libraries(${suite} PRIVATE PkgConfig::TAGLIB)
