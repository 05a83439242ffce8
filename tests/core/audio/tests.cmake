# The audio suite loads the module from the build tree and runs the command line. A poison
# module (it ends the process when loaded) shows which runs never load the audio module.
add_library(partita_audio_poison MODULE ${CMAKE_CURRENT_LIST_DIR}/poison_module.c)
set_target_properties(partita_audio_poison PROPERTIES PREFIX "")
add_dependencies(${suite} partita_audio_ffmpeg partita_audio_poison partita)
target_compile_definitions(${suite} PRIVATE
  PARTITA_CLI_PATH="$<TARGET_FILE:partita>"
  PARTITA_POISON_MODULE="$<TARGET_FILE:partita_audio_poison>")
