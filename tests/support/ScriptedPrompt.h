// A UserPrompt for tests: records every message and answers questions from a script.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "core/StringTable.h"

struct PromptMessage {
    std::wstring kind;  // "Error", "Ask" or "Inform"
    std::wstring text;
    std::wstring caption;

    bool operator==(const PromptMessage&) const = default;
};

inline void PrintTo(const PromptMessage& m, std::ostream* os)
{
    *os << testing::PrintToString(m.kind) << " " << testing::PrintToString(m.text) << " "
        << testing::PrintToString(m.caption);
}

class ScriptedPrompt : public UserPrompt {
public:
    std::vector<PromptMessage> messages;
    std::deque<bool> answers;           // for the questions, in order; true is Yes
    std::function<void()> whileAsking;  // what the user does while a question is shown

    void Error(const std::wstring& text) override { messages.push_back({L"Error", text, Str(RS_100)}); }
    bool Ask(const std::wstring& text, const std::wstring& caption) override
    {
        messages.push_back({L"Ask", text, caption});
        if (whileAsking) whileAsking();
        if (answers.empty()) {
            ADD_FAILURE() << "a question nobody expected";
            return false;
        }
        bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void Inform(const std::wstring& text, const std::wstring& caption) override
    {
        messages.push_back({L"Inform", text, caption});
    }
};
