find_package(Qt6 REQUIRED COMPONENTS Test)
target_link_libraries(${suite} PRIVATE partita_gui_lib Qt6::Test)
add_dependencies(${suite} partita-studio)
target_compile_definitions(${suite} PRIVATE
  PARTITA_STUDIO_PATH="$<TARGET_FILE:partita-studio>"
  PARTITA_STUDIO_DIR="$<TARGET_FILE_DIR:partita-studio>")
target_compile_definitions(${suite} PRIVATE PARTITA_TEST_VERSION="${PROJECT_VERSION}")
add_dependencies(${suite} partita)
target_compile_definitions(${suite} PRIVATE PARTITA_CLI_PATH="$<TARGET_FILE:partita>")
