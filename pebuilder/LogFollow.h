// Following PE Builder's log while it runs: which lines a look at the file adds to
// those already shown. Works on the file's bytes (ANSI text, whose line ends are single
// bytes no trail byte can be); the caller decodes the lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class LogFollower {
public:
    // The log as it was before PE Builder started: an earlier run's, never shown.
    explicit LogFollower(std::string before = {}) : seen_(std::move(before)) {}

    // The lines, without their line ends (LF or CR LF), that the content now adds.
    // Content that continues what was seen adds what follows it; any other content is
    // a new log (PE Builder writes its log afresh), whose lines all count. A last
    // line without its line end waits for the next look, unless ended (the writer has
    // gone). A new log that repeats the whole earlier one at its start cannot be told
    // from a continued one: its repeated part is not shown again.
    std::vector<std::string> Take(std::string_view now, bool ended);

private:
    std::string seen_;
};
