target_link_libraries(${suite} PRIVATE partita_settings_qt)
