# Fonts and text: glyph cache, UTF-8 rules, layout arithmetic and the system fonts behind them.
set(font_test_sources
    ${CMAKE_CURRENT_LIST_DIR}/FontCacheTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FontGlyphBlendTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FontGlyphMapTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TextLayoutTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TextUtf8Test.cpp)
if(WIN32)
    list(APPEND font_test_sources ${CMAKE_CURRENT_LIST_DIR}/FontGdiTest.cpp)
else()
    list(APPEND font_test_sources ${CMAKE_CURRENT_LIST_DIR}/FontFaceTest.cpp)
endif()
ksp_add_gtest(font_tests SOURCES ${font_test_sources} LIBS ksp_raster)

# Value texts drawn as the editor draws them, written to snapshots/ for a person to look at.
set(snapshot_dir ${CMAKE_BINARY_DIR}/snapshots)
file(MAKE_DIRECTORY ${snapshot_dir})
ksp_add_gtest(text_snapshot_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TextSnapshotTest.cpp
    LIBS ksp_raster ksp_resources ksp_png_writer)
if(MINGW)
    # Wine sees the build tree on drive Z:.
    set(snapshot_dir Z:${snapshot_dir})
endif()
target_compile_definitions(text_snapshot_tests PRIVATE KSP_SNAPSHOT_DIR="${snapshot_dir}")
