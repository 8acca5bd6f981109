// A one-line text prompt, and the character measure its layout rests on.
#pragma once

#include <windows.h>

#include <string>

// Average width (52 letters' width divided by 52) and height of dc's font.
SIZE AverageCharSize(HDC dc);

// A modal prompt; true and the edited text on OK, false and value unchanged otherwise.
bool InputTextDialog(const std::wstring& title, const std::wstring& prompt, std::wstring& value);
