# Runs the Windows programs of a cross build under Wine, in a private prefix inside the
# build folder, so tests neither touch nor depend on the user's own ~/.wine.
#
# Debian's wine64 package puts its loader at /usr/lib/wine/wine64; the wine package adds
# /usr/bin/wine. Either serves.
find_program(WINE_LOADER NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH
    DOC "Wine's program loader")
find_program(WINE_SERVER NAMES wineserver PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH
    DOC "Wine's server")
set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wine)
# The prefix's CD-ROM drive, which tests of the drive functions look for.
set(WINE_CDROM_LETTER Q)

if(WINE_LOADER)
    # Mono and Gecko are never needed: without them the prefix is made in seconds.
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env WINEPREFIX=${WINE_PREFIX}
        WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= ${WINE_LOADER})
else()
    message(WARNING "Wine not found: the Windows programs build, but their tests cannot run")
endif()

# Registers the fixture every Windows test needs: the prefix, made once per build folder,
# with drive Q: as a CD-ROM drive on a folder of the build, and Wine's server stopped after
# the tests.
function(wine_prefix_fixture)
    if(NOT WINE_LOADER)
        return()
    endif()
    set(script ${CMAKE_COMMAND} -DWINE_LOADER=${WINE_LOADER} -DWINE_SERVER=${WINE_SERVER}
        -DWINE_PREFIX=${WINE_PREFIX} -DCDROM_LETTER=${WINE_CDROM_LETTER}
        -DCDROM_FOLDER=${CMAKE_BINARY_DIR}/wine-cdrom)
    add_test(NAME wine_prefix COMMAND ${script} -P ${PROJECT_SOURCE_DIR}/cmake/wine_prefix.cmake)
    set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
    add_test(NAME wine_server_stop
        COMMAND ${script} -DSTOP=ON -P ${PROJECT_SOURCE_DIR}/cmake/wine_prefix.cmake)
    set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine)
endfunction()

# Marks tests as Windows programs run under Wine.
function(wine_tests)
    if(WINE_LOADER)
        set_property(TEST ${ARGN} APPEND PROPERTY FIXTURES_REQUIRED wine)
        set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT
            QORLIB_TEST_CDROM=${WINE_CDROM_LETTER})
    endif()
endfunction()
