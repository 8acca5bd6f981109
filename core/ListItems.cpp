// Records carried by list items: the bookkeeping by which an item owns its record.
#include "core/ListItems.h"

#include <stdexcept>

void AddListEntry(StringList& list, const std::wstring& text, const TDataStruct& record)
{
    list.push_back(StringListItem{text, record});
}

TDataStruct& ListEntryOf(StringList& list, size_t index) { return list.at(index).Data; }

const TDataStruct& ListEntryOf(const StringList& list, size_t index) { return list.at(index).Data; }

void DeleteListEntry(StringList& list, size_t index)
{
    if (index >= list.size()) throw std::out_of_range("DeleteListEntry: no such item");
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
}
