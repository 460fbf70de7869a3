# libpng and zlib: the system's on Linux, Debian's libpng source built with the cross compiler on Windows.
# libcurl (Linux only) carries the update check's request; Windows has WinINet.
if(MINGW)
    include(${CMAKE_CURRENT_LIST_DIR}/LibpngMingw.cmake)
else()
    find_package(PNG REQUIRED)
    find_package(ZLIB REQUIRED)
    find_package(CURL REQUIRED)
    add_library(ksp_png INTERFACE)
    target_link_libraries(ksp_png INTERFACE PNG::PNG ZLIB::ZLIB)
endif()

if(KSP_BUILD_TESTS)
    # GoogleTest from Debian's source package, built with this build's compiler and flags.
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL SYSTEM)
    include(GoogleTest)
endif()

if(MINGW AND CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64" AND KSP_RUN_TESTS)
    # Windows test binaries run under Wine, in a prefix of this build tree.
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh ${CMAKE_BINARY_DIR}/wineprefix)
endif()
