// The CD/DVD drive list from Wine's WMI (the test prefix has D: as a CD-ROM drive),
// and combo items that own their record.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include "core/CdDrives.h"
#include "core/Error.h"
#include "tests/support/WindowMade.h"
#include "ui/CdDriveList.h"

namespace {

std::wstring ItemText(HWND combo, int index)
{
    std::wstring text(static_cast<size_t>(::SendMessageW(combo, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

int Count(HWND combo) { return static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0)); }

TCDDriverec Drive(const std::wstring& letter, const std::wstring& caption, uint8_t port)
{
    TCDDriverec record;
    record.Drive = letter;
    record.Caption = caption;
    record.Port = port;
    record.TargetId = 0;
    record.LogicalUnit = 1;
    record.Address = std::to_wstring(port) + L",0,1";
    return record;
}

class CdDrives : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
        parent_ = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(WindowMade(parent_));
        combo_ = ::CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 180, 200, parent_, nullptr,
                                   nullptr, nullptr);
        ASSERT_TRUE(WindowMade(combo_));
    }
    void TearDown() override
    {
        for (int i = Count(combo_) - 1; i >= 0; --i) DeleteCdDriveItem(combo_, i);
        ::DestroyWindow(parent_);
        ::CoUninitialize();
    }

    HWND parent_ = nullptr;
    HWND combo_ = nullptr;
};

}  // namespace

TEST_F(CdDrives, TheConfiguredDriveIsListedWithoutScsiNumbers)
{
    FillCdDriveList(combo_);
    ASSERT_EQ(Count(combo_), 1);
    const TCDDriverec& drive = CdDriveRecOf(combo_, 0);
    EXPECT_EQ(drive.Drive, L"D:");
    // Wine knows no model name or SCSI numbers: null texts are empty, null numbers 255.
    EXPECT_EQ(ItemText(combo_, 0), L"(D:) " + drive.Caption);
    EXPECT_EQ(drive.Port, 255);
    EXPECT_EQ(drive.TargetId, 255);
    EXPECT_EQ(drive.LogicalUnit, 255);
    EXPECT_EQ(drive.Address, L"255,255,255");
}

TEST_F(CdDrives, TheQueryGivesNoNumbersWhereTheSystemReportsNone)
{
    const std::vector<CdDrive> drives = QueryCdDrives();
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_EQ(drives[0].Drive, L"D:");
    EXPECT_FALSE(drives[0].Port.has_value());
    EXPECT_FALSE(drives[0].TargetId.has_value());
    EXPECT_FALSE(drives[0].LogicalUnit.has_value());
}

TEST_F(CdDrives, ARecordKeepsReportedNumbersAndMarksMissingOnesAs255)
{
    CdDrive drive{L"E:", L"Writer", 1u, std::nullopt, 0u};
    const TCDDriverec record = CdDriveRecord(drive);
    EXPECT_EQ(record.Port, 1);
    EXPECT_EQ(record.TargetId, 255);
    EXPECT_EQ(record.LogicalUnit, 0);
    EXPECT_EQ(record.Address, L"1,255,0");
    EXPECT_EQ(CdDriveItemText(record), L"(E:) Writer");
}

TEST_F(CdDrives, FillingReplacesTheItemsThatWereThere)
{
    AddCdDriveItem(combo_, L"(X:) old", Drive(L"X:", L"old", 1));
    AddCdDriveItem(combo_, L"(Y:) older", Drive(L"Y:", L"older", 2));
    FillCdDriveList(combo_);
    FillCdDriveList(combo_);
    ASSERT_EQ(Count(combo_), 1);
    EXPECT_EQ(CdDriveRecOf(combo_, 0).Drive, L"D:");
}

TEST_F(CdDrives, ItemsOwnACopyOfTheirRecord)
{
    TCDDriverec record = Drive(L"E:", L"ＤＶＤ Writer", 1);
    AddCdDriveItem(combo_, L"(E:) ＤＶＤ Writer", record);
    AddCdDriveItem(combo_, L"(F:) Other", Drive(L"F:", L"Other", 2));
    record.Caption = L"changed";  // the caller's record is not the item's

    ASSERT_EQ(Count(combo_), 2);
    EXPECT_EQ(ItemText(combo_, 0), L"(E:) ＤＶＤ Writer");
    const TCDDriverec& first = CdDriveRecOf(combo_, 0);
    EXPECT_EQ(first.Drive, L"E:");
    EXPECT_EQ(first.Caption, L"ＤＶＤ Writer");
    EXPECT_EQ(first.Port, 1);
    EXPECT_EQ(first.Address, L"1,0,1");
    EXPECT_EQ(CdDriveRecOf(combo_, 1).Caption, L"Other");

    DeleteCdDriveItem(combo_, 1);
    ASSERT_EQ(Count(combo_), 1);
    EXPECT_EQ(CdDriveRecOf(combo_, 0).Drive, L"E:");
    DeleteCdDriveItem(combo_, 0);
    EXPECT_EQ(Count(combo_), 0);
}

TEST_F(CdDrives, AServiceThatCannotBeReachedIsAnErrorAndLeavesTheListEmpty)
{
    AddCdDriveItem(combo_, L"(X:) old", Drive(L"X:", L"old", 1));
    ::CoUninitialize();  // without COM the service cannot be reached
    try {
        FillCdDriveList(combo_);
        ADD_FAILURE() << "no error without COM";
    } catch (const AppError& error) {
        EXPECT_NE(error.Message().find(L"WMI"), std::wstring::npos) << error.what();
    }
    EXPECT_EQ(Count(combo_), 0);
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));  // TearDown balances it
}

TEST_F(CdDrives, AnItemThatIsNotThereIsAnError)
{
    EXPECT_THROW(CdDriveRecOf(combo_, 0), AppError);
    EXPECT_THROW(DeleteCdDriveItem(combo_, 0), AppError);
}
