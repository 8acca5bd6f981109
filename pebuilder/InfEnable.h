// Switching a plug-in on or off for PE Builder: the Enable line of the [PEBuilder]
// section of its INF file, rewritten on the file's bytes so that every other line
// (Shift-JIS text included) comes back exactly as it was.
#pragma once

#include <string>
#include <string_view>

struct InfRewrite {
    std::string bytes;  // the whole file after the rewrite
    bool changed;       // bytes differ from the input: the file needs writing
};

// Walks the lines (ended by CR LF, CR or LF) from the first. A line that, trimmed and
// upper-cased, is "[PEBUILDER]" opens the section; inside it any other trimmed line
// that begins with "[" ends the walk, and the first line whose text before the first "="
// is "Enable" in any case, exactly as written, becomes "Enable=1" or "Enable=0".
// Every line then ends with CR LF, the last one included.
// The file's code units are bytes (the ANSI code page, or UTF-8 after its byte-order
// mark) or, after a UTF-16 byte-order mark, 16-bit units in that byte order; the
// mark is kept.
InfRewrite RewriteEnableLine(std::string_view inf, bool enabled);
