# The audio suite loads the module from the build tree and runs the command line.
add_dependencies(${suite} partita_audio_ffmpeg partita)
target_compile_definitions(${suite} PRIVATE PARTITA_CLI_PATH="$<TARGET_FILE:partita>")
