# The audio layer loads its FFmpeg-backed module at run time; the core itself never links
# FFmpeg. The loader learns where the build puts the module and where an install puts it.
include(GNUInstallDirs)
file(RELATIVE_PATH partita_audio_module_relative
     "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_PREFIX}/${PARTITA_AUDIO_MODULE_INSTALL_DIR}")
set_property(SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/audio/audio_engine.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS
    PARTITA_AUDIO_MODULE_BUILD_DIR="$<TARGET_FILE_DIR:partita_audio_ffmpeg>"
    PARTITA_AUDIO_MODULE_INSTALL_DIR="${CMAKE_INSTALL_PREFIX}/${PARTITA_AUDIO_MODULE_INSTALL_DIR}"
    PARTITA_AUDIO_MODULE_RELATIVE_DIR="${partita_audio_module_relative}")
# Whatever builds on the core can decode: build the module along with it.
add_dependencies(partita_core partita_audio_ffmpeg)
