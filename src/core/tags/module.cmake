# Tags of every format are read (and those of WAV and WMA files written) through TagLib.
pkg_check_modules(TAGLIB REQUIRED IMPORTED_TARGET taglib)
target_link_libraries(partita_core PRIVATE PkgConfig::TAGLIB)
