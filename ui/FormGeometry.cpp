// The remembered place of a window: reading defaults and what is written back.
#include "ui/FormGeometry.h"

FormState FormStateFromStored(int stored)
{
    if (stored == 1) return FormState::Maximised;
    if (stored == 2) return FormState::Minimised;
    return FormState::Normal;
}

int CentredOffset(int screen, int window) { return (screen - window) / 2; }

std::vector<std::pair<std::wstring, int>> GeometryWrites(FormState state, const NormalGeometry& normal,
                                                         GeometryOrder order)
{
    std::vector<std::pair<std::wstring, int>> writes = {{L"FormState", static_cast<int>(state)}};
    if (state != FormState::Normal) return writes;
    std::pair<std::wstring, int> position[] = {{L"Top", normal.top}, {L"Left", normal.left}};
    std::pair<std::wstring, int> size[] = {{L"Height", normal.height}, {L"Width", normal.width}};
    bool positionFirst = order == GeometryOrder::PositionFirst;
    for (const auto& value : positionFirst ? position : size) writes.push_back(value);
    for (const auto& value : positionFirst ? size : position) writes.push_back(value);
    return writes;
}
