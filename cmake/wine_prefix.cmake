# Makes the private Wine prefix of a build folder on first use, and gives it a CD-ROM drive
# on a folder of the build (Wine takes a drive's type from its registry). With -DSTOP=ON it
# stops the prefix's Wine server instead, which would otherwise linger for a few seconds.
#   cmake -DWINE_LOADER=... -DWINE_SERVER=... -DWINE_PREFIX=... -DCDROM_LETTER=Q
#         -DCDROM_FOLDER=... [-DSTOP=ON] -P wine_prefix.cmake
set(ENV{WINEPREFIX} ${WINE_PREFIX})
set(ENV{WINEDEBUG} -all)
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=")

if(STOP)
    # Fails harmlessly when the server has already gone.
    execute_process(COMMAND ${WINE_SERVER} -k OUTPUT_QUIET ERROR_QUIET TIMEOUT 60)
    return()
endif()

if(NOT EXISTS ${WINE_PREFIX}/system.reg)
    message(STATUS "Making the Wine prefix ${WINE_PREFIX} (once per build folder)")
    execute_process(COMMAND ${WINE_LOADER} wineboot --init RESULT_VARIABLE rc
        OUTPUT_QUIET ERROR_QUIET TIMEOUT 240)
    if(NOT rc EQUAL 0 OR NOT EXISTS ${WINE_PREFIX}/system.reg)
        message(FATAL_ERROR "wineboot failed (${rc})")
    endif()
endif()

file(MAKE_DIRECTORY ${CDROM_FOLDER})
string(TOLOWER ${CDROM_LETTER} letter)
file(CREATE_LINK ${CDROM_FOLDER} ${WINE_PREFIX}/dosdevices/${letter}: SYMBOLIC)
execute_process(
    COMMAND ${WINE_LOADER} reg add "HKLM\\Software\\Wine\\Drives" /v ${letter}: /d cdrom /f
    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET TIMEOUT 120)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "could not make drive ${CDROM_LETTER}: a CD-ROM drive (${rc})")
endif()
