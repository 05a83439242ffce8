find_package(Qt6 REQUIRED COMPONENTS Test)
target_link_libraries(${suite} PRIVATE partita_gui_lib Qt6::Test)
add_dependencies(${suite} partita-studio)
target_compile_definitions(${suite} PRIVATE
  PARTITA_STUDIO_PATH="$<TARGET_FILE:partita-studio>"
  PARTITA_STUDIO_DIR="$<TARGET_FILE_DIR:partita-studio>")
target_compile_definitions(${suite} PRIVATE PARTITA_TEST_VERSION="${PROJECT_VERSION}")
# The joiner page's merges are compared with the command line's and decode through the module.
add_dependencies(${suite} partita partita_audio_ffmpeg)
target_compile_definitions(${suite} PRIVATE PARTITA_CLI_PATH="$<TARGET_FILE:partita>")
