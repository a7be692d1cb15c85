// The text form of a registry on disk, regedit's export format:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Quorvana\Quorvana Saver]
//   "Saver"="1"
//   "Flag"=dword:00000001
//   "Blob"=hex(3):01,02,ff
//
// The file is UTF-8; the tree holds Windows-1252 in its lossless form (see Cp1252.h),
// so that a key or text in another script is written back as it was read. Quoted texts escape
// only the backslash and the double quote. "hex" data are the bytes as the program
// sees them (8-bit), not the UTF-16 that Windows' own export writes for texts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "winsys/RegistryTree.h"

namespace qm {

struct RegistryParseError {
  size_t Line = 0;  // 1-based; 0 when the whole text is at fault
  std::string Reason;
};

// Reads `text` into `tree` (merging into what it holds, later values winning, as an
// import would). Accepts a UTF-8, UTF-16LE or UTF-16BE byte-order mark, CRLF or LF line ends,
// blank lines, ';' comments, the "REGEDIT4" header, "@" for the unnamed value, long
// "hex" data continued with a trailing backslash, and deletions ("[-key]",
// "\"Name\"=-"). The empty text is an empty registry. Comment lines are kept as the
// notes (RegistryTree.h) of the key or value just below them, except where a blank line
// parts them from the key line below: those end the block above (the key's, or the
// file's own after the header). Notes in a deleted key go with it; those above a
// deleted value stay for what follows. On anything else returns false and fills
// `error`; `tree` is then partly filled and should be discarded.
bool ParseRegistryText(std::string_view text, RegistryTree& tree, RegistryParseError& error);

// What can be read of a text ParseRegistryText refuses, read into `tree`: a line it
// cannot read is passed over, and so are the values under a key line it cannot read
// (they would otherwise land in the key above). A text without the header line gives
// nothing.
void SalvageRegistryText(std::string_view text, RegistryTree& tree);

// The text of `tree`, which ParseRegistryText reads back to the same keys, values and
// notes.
// Texts that cannot stand on one quoted line (holding a NUL, CR or LF) are written as
// hex(1). Key paths and value names must not hold NUL, CR or LF (callers check).
std::string FormatRegistryText(const RegistryTree& tree);

}  // namespace qm
