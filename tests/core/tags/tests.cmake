# The chapter tests make their files with TagLib itself.
pkg_check_modules(TAGLIB REQUIRED IMPORTED_TARGET taglib)
target_link_libraries(${suite} PRIVATE PkgConfig::TAGLIB)
