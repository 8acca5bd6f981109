// Records carried by list items: the bookkeeping by which an item owns its record.
#include "core/ListItems.h"

#include "core/Error.h"

namespace {

void CheckIndex(const StringList& list, size_t index)
{
    if (index >= list.size()) throw AppError(L"The plug-in list has no item " + std::to_wstring(index));
}

}  // namespace

void AddListEntry(StringList& list, const std::wstring& text, const TDataStruct& record)
{
    list.push_back(StringListItem{text, record});
}

TDataStruct& ListEntryOf(StringList& list, size_t index)
{
    CheckIndex(list, index);
    return list[index].Data;
}

const TDataStruct& ListEntryOf(const StringList& list, size_t index)
{
    CheckIndex(list, index);
    return list[index].Data;
}

void DeleteListEntry(StringList& list, size_t index)
{
    CheckIndex(list, index);
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
}
