# Fonts and text: the glyph cache, shared by every platform, and the system's text renderer
# behind it (GDI on Windows, FreeType with fontconfig elsewhere).
target_sources(ksp_raster PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/PIX_ByteStore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PIX_CachedFont.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PIX_GlyphBlend.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PIX_GlyphMap.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PIX_TextLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PIX_Utf8.cpp)
if(WIN32)
    target_sources(ksp_raster PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/win/PIX_GdiFont.cpp
        ${CMAKE_CURRENT_LIST_DIR}/win/PIX_GdiText.cpp)
    target_link_libraries(ksp_raster PUBLIC gdi32 advapi32)
else()
    find_package(Freetype REQUIRED)
    find_package(Fontconfig REQUIRED)
    target_sources(ksp_raster PRIVATE ${CMAKE_CURRENT_LIST_DIR}/linux/PIX_FreeTypeFont.cpp)
    target_link_libraries(ksp_raster PUBLIC Freetype::Freetype Fontconfig::Fontconfig)
endif()
