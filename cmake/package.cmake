# The release package: `cmake --install build/win32 --prefix dist` lays it out flat.
install(TARGETS kzqtools
    RUNTIME DESTINATION .
    LIBRARY DESTINATION .
    ARCHIVE DESTINATION .)
install(FILES
    ${PROJECT_SOURCE_DIR}/kzqtools/include/kzqtools.h
    ${PROJECT_SOURCE_DIR}/kzqtools/kzqtools.def
    DESTINATION .)
install(TARGETS kzqdump RUNTIME DESTINATION .)
if(WIN32)
    install(TARGETS svcremove RUNTIME DESTINATION .)
endif()
