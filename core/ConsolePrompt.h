// A UserPrompt for runs with no window: every message becomes console lines, and a
// question is taken as answered Yes, since nobody is there to answer it.
#pragma once

#include "core/Messages.h"

class ConsolePrompt : public UserPrompt {
public:
    // An error: "Kitwright: " and the caption [Strings] RS_100, then the text, one line
    // per line of it.
    void Error(const std::wstring& text) override;
    // Not shown: the run that asks has been told to go on.
    bool Ask(const std::wstring& text, const std::wstring& caption) override;
    // A notice: "Kitwright: " and its caption, then the text, one line per line of it.
    void Inform(const std::wstring& text, const std::wstring& caption) override;
};

// A line of the program's own on the console: "Kitwright: " and text.
void ConsoleNote(const std::wstring& text);
