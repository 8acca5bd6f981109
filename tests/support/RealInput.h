// Keys and mouse given through the system's input queue (SendInput), as a user gives
// them, for tests of real windows.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <utility>
#include <vector>

// Each stroke a key going down (true) or up (false), in order.
inline void Keys(std::initializer_list<std::pair<WORD, bool>> strokes)
{
    std::vector<INPUT> inputs;
    for (auto [key, down] : strokes) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

inline void Tap(WORD key) { Keys({{key, true}, {key, false}}); }
inline void Chord(WORD modifier, WORD key) { Keys({{modifier, true}, {key, true}, {key, false}, {modifier, false}}); }

// Moves the pointer to the screen point, then gives the button flags (none: a move).
inline void Mouse(POINT screen, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | flags;
    ::SendInput(1, &input, sizeof input);
}
