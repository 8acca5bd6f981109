// Switching a plug-in on or off for PE Builder: the Enable lines of the [PEBuilder]
// section of its INF file, rewritten on the file's bytes so that every other line
// (Shift-JIS text included) comes back exactly as it was.
#pragma once

#include <bitset>
#include <string>
#include <string_view>

struct InfRewrite {
    std::string bytes;  // the whole file after the rewrite
    bool changed;       // bytes differ from the input: the file needs writing
};

// The lead bytes of the ANSI code page's double-byte characters; none for a page of
// single bytes.
using LeadBytes = std::bitset<256>;

// Finds sections and keys exactly as the INI reader does, so that the catalogue reads
// back what was written: lines end with CR LF, CR or LF and are trimmed; ";" lines are
// comments; a trimmed line "[" ... "]" opens a section named by the trimmed text
// between the brackets; in every section named "PEBuilder" (any case) every line whose
// trimmed text before the first "=" is "Enable" (any case) becomes "Enable=1" or
// "Enable=0". Every line then ends with CR LF, the last one included.
// The file's code units are bytes (the ANSI code page, whose double-byte characters
// leadBytes tells, or UTF-8 after its byte-order mark) or, after a UTF-16 byte-order
// mark, 16-bit units in that byte order; the mark is kept.
InfRewrite RewriteEnableLine(std::string_view inf, bool enabled, const LeadBytes& leadBytes = {});
// Whether RewriteEnableLine would change the file, answered from its bytes without
// building anything: most files of a switch are already right.
bool EnableLineChanges(std::string_view inf, bool enabled, const LeadBytes& leadBytes = {});
