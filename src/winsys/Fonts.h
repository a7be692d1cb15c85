// The embedded TrueType files of the label fonts (Liberation Sans, Arial's metrics),
// generated at build time by src/winsys/Fonts.cmake. Read-only, live for the whole run.
#pragma once

namespace qm::fonts {

extern const unsigned char SansRegular[];
extern const unsigned long SansRegular_size;
extern const unsigned char SansBold[];
extern const unsigned long SansBold_size;
extern const unsigned char SansBoldItalic[];
extern const unsigned long SansBoldItalic_size;

}  // namespace qm::fonts
