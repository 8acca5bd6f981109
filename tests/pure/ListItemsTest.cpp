// List items that own a copy of their plug-in record.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/ListItems.h"

namespace {

TDataStruct Record(const std::wstring& name, bool enabled)
{
    TDataStruct record;
    record.DisplayName = name;
    record.Folder = L"C:\\pebuilder\\plugin\\" + name;
    record.FileName = name + L".inf";
    record.FullPath = record.Folder + L"\\" + record.FileName;
    record.HelpFile = record.Folder + L"\\help.htm";
    record.ConfigCommand = L"config.exe";
    record.Enabled = enabled;
    return record;
}

}  // namespace

TEST(ListItems, AnEntryOwnsACopyOfTheWholeRecord)
{
    StringList list;
    TDataStruct record = Record(L"ネットワーク", true);
    AddListEntry(list, L"ネットワーク::network\\", record);
    record.DisplayName = L"changed";  // the caller's record is not the item's
    record.Enabled = false;

    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Text, L"ネットワーク::network\\");
    const TDataStruct& owned = ListEntryOf(list, 0);
    EXPECT_EQ(owned.DisplayName, L"ネットワーク");
    EXPECT_EQ(owned.Folder, L"C:\\pebuilder\\plugin\\ネットワーク");
    EXPECT_EQ(owned.FileName, L"ネットワーク.inf");
    EXPECT_EQ(owned.FullPath, L"C:\\pebuilder\\plugin\\ネットワーク\\ネットワーク.inf");
    EXPECT_EQ(owned.HelpFile, L"C:\\pebuilder\\plugin\\ネットワーク\\help.htm");
    EXPECT_EQ(owned.ConfigCommand, L"config.exe");
    EXPECT_TRUE(owned.Enabled);
}

TEST(ListItems, EntriesKeepTheirOrderAndCanBeChangedInPlace)
{
    StringList list;
    AddListEntry(list, L"a", Record(L"a", false));
    AddListEntry(list, L"b", Record(L"b", true));
    AddListEntry(list, L"a", Record(L"a2", false));  // equal texts are separate items
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(ListEntryOf(list, 1).DisplayName, L"b");
    EXPECT_EQ(ListEntryOf(list, 2).DisplayName, L"a2");

    ListEntryOf(list, 0).Enabled = true;
    const StringList& view = list;
    EXPECT_TRUE(ListEntryOf(view, 0).Enabled);
}

TEST(ListItems, DeletingFromLastToFirstEmptiesTheList)
{
    StringList list;
    for (const wchar_t* name : {L"x", L"y", L"z"}) AddListEntry(list, name, Record(name, false));
    DeleteListEntry(list, 1);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].Text, L"z");
    EXPECT_EQ(ListEntryOf(list, 1).DisplayName, L"z");
    for (size_t i = list.size(); i-- > 0;) DeleteListEntry(list, i);
    EXPECT_TRUE(list.empty());
}

TEST(ListItems, AnIndexPastTheEndIsAnError)
{
    StringList list;
    AddListEntry(list, L"only", Record(L"only", false));
    EXPECT_THROW(ListEntryOf(list, 1), AppError);
    EXPECT_THROW(DeleteListEntry(list, 1), AppError);
    EXPECT_EQ(list.size(), 1u);
}
