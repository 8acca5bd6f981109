// A language file of the test's own: while the object lives, LanguageFile names a file
// in a scratch folder (not created until the test writes it).
#pragma once

#include "core/Language.h"
#include "tests/support/TestSupport.h"

class ScratchLanguageFile {
public:
    ScratchLanguageFile() { SetLanguageFile(folder_ / L"Kitwright.rsl"); }
    ~ScratchLanguageFile() { SetLanguageFile(L""); }
    ScratchLanguageFile(const ScratchLanguageFile&) = delete;
    ScratchLanguageFile& operator=(const ScratchLanguageFile&) = delete;

    const std::wstring& Path() const { return LanguageFile; }

private:
    ScratchFolder folder_;
};
