// The global interface texts: built-in Japanese, each replaceable by the key of the
// same name in the language file's section [Strings].
#pragma once

#include <string>
#include <vector>

class IniDocument;

enum StringId : unsigned short {
    RS_001 = 1,
    RS_002 = 2,
    RS_003 = 3,
    RS_004 = 4,
    RS_006 = 6,
    RS_007 = 7,
    RS_008 = 8,
    RS_009 = 9,
    RS_010 = 10,
    RS_011 = 11,
    RS_012 = 12,
    RS_014 = 14,
    RS_015 = 15,
    RS_016 = 16,
    RS_018 = 18,
    RS_019 = 19,
    RS_020 = 20,
    RS_021 = 21,
    RS_022 = 22,
    RS_023 = 23,
    RS_100 = 100,
    RS_101 = 101,
    RS_103 = 103,
    RS_201 = 201,
    RS_202 = 202,
    RS_301 = 301,
    RS_302 = 302,
    RS_303 = 303,
    RS_401 = 401,
    RS_402 = 402,
    RS_403 = 403,
    RS_404 = 404,
    RS_405 = 405,
    RS_406 = 406,
    RS_407 = 407,
    RS_408 = 408,
    RS_409 = 409,
    RS_501 = 501,
    RS_601 = 601,
    RS_602 = 602,
    RS_603 = 603,
    RS_604 = 604,
    RS_605 = 605,
    RS_606 = 606,
    RS_607 = 607,
    RS_609 = 609,
    RS_701 = 701,
    RS_702 = 702,
    RS_703 = 703,
    RS_704 = 704,
    RS_705 = 705,
    RS_706 = 706,
    RS_707 = 707,
    RS_708 = 708,
    RS_709 = 709,
    RS_710 = 710,
    RS_711 = 711,
    RS_712 = 712,
    RS_713 = 713,
    RS_714 = 714,
    RS_715 = 715,
};

namespace StringTable {

constexpr int Count = 61;

// The text in use; every id of the enumeration has one.
const std::wstring& Text(StringId id);

// Every id, in key order.
std::vector<StringId> Ids();

// The key ("RS_100") and the built-in text of an id.
std::wstring KeyOf(StringId id);
const wchar_t* BuiltIn(StringId id);

// Every entry gets its built-in text, then, when a language file is given, the
// value of its key in [Strings] (a key present with nothing after "=" gives "").
void Load(const IniDocument* languageFile);

}  // namespace StringTable

// Shorthand for StringTable::Text.
inline const std::wstring& Str(StringId id) { return StringTable::Text(id); }
