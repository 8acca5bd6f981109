// The one exception type of the program: a failed routine throws it with a message for
// the user; the top-level handler shows the message and ends only that command.
#pragma once

#include <exception>
#include <string>

class AppError : public std::exception {
public:
    explicit AppError(std::wstring message) : message_(std::move(message)) {}

    const std::wstring& Message() const noexcept { return message_; }

    // GoogleTest and other narrow-text consumers; ASCII only, the rest becomes '?'.
    const char* what() const noexcept override
    {
        if (narrow_.empty()) {
            for (wchar_t c : message_) narrow_ += c < 0x80 ? static_cast<char>(c) : '?';
        }
        return narrow_.c_str();
    }

private:
    std::wstring message_;
    mutable std::string narrow_;
};
