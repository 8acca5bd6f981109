// Following PE Builder's log while it runs.
#include "pebuilder/LogFollow.h"

std::vector<std::string> LogFollower::Take(std::string_view now, bool ended)
{
    if (now.substr(0, seen_.size()) != seen_) seen_.clear();
    std::string_view fresh = now.substr(seen_.size());
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = fresh.find('\n'); end != std::string_view::npos; end = fresh.find('\n', start)) {
        std::string_view line = fresh.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    if (ended && start < fresh.size()) {
        std::string_view line = fresh.substr(start);
        if (line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        start = fresh.size();
    }
    seen_.append(fresh.substr(0, start));
    return lines;
}
