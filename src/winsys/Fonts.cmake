# The label fonts, embedded in the core so that every host draws the same text without
# a font service: Liberation Sans, metric-compatible with Arial, from Debian's
# fonts-liberation2, read at build time.
set(QM_LABEL_FONT_DIR /usr/share/fonts/truetype/liberation2 CACHE PATH
    "Folder holding LiberationSans-{Regular,Bold,BoldItalic}.ttf")
set(QM_FONTS_CPP ${CMAKE_BINARY_DIR}/generated/FontsData.cpp)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/generated)
qm_embed(OUTPUT ${QM_FONTS_CPP} NAMESPACE qm::fonts FILES
  SansRegular=${QM_LABEL_FONT_DIR}/LiberationSans-Regular.ttf
  SansBold=${QM_LABEL_FONT_DIR}/LiberationSans-Bold.ttf
  SansBoldItalic=${QM_LABEL_FONT_DIR}/LiberationSans-BoldItalic.ttf)
target_sources(quill_core PRIVATE ${QM_FONTS_CPP})
