#include "printers/printer_table.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
PrinterRecord RecordWithMacEnd(uint8_t last)
{
    PrinterRecord r;
    std::memset(&r, 0, sizeof r);
    r.mac[5] = last;
    return r;
}

class PrinterTableTest : public ::testing::Test {
protected:
    void SetUp() override { ClearPrinterTable(); }
    void TearDown() override { ClearPrinterTable(); }
};
}

TEST_F(PrinterTableTest, PositionsAreOneBasedInOrderOfAddingAndBoundsGiveNone)
{
    EXPECT_EQ(GetPrinterRecord(1), nullptr);
    for (uint8_t i = 1; i <= 3; ++i)
        EXPECT_TRUE(AddPrinterRecord(RecordWithMacEnd(i)));
    ASSERT_EQ(PrinterTableSize(), 3u);
    EXPECT_EQ(GetPrinterRecord(0), nullptr);
    EXPECT_EQ(GetPrinterRecord(-1), nullptr);
    EXPECT_EQ(GetPrinterRecord(4), nullptr);
    for (int n = 1; n <= 3; ++n) {
        ASSERT_NE(GetPrinterRecord(n), nullptr);
        EXPECT_EQ(GetPrinterRecord(n)->mac[5], n);
    }
}

TEST_F(PrinterTableTest, DuplicatesAreKeptAndRecordsAreCopies)
{
    PrinterRecord r = RecordWithMacEnd(7);
    AddPrinterRecord(r);
    AddPrinterRecord(r);
    r.mac[5] = 9;  // the table holds its own copies
    ASSERT_EQ(PrinterTableSize(), 2u);
    EXPECT_EQ(GetPrinterRecord(1)->mac[5], 7);
    EXPECT_EQ(GetPrinterRecord(2)->mac[5], 7);
}

TEST_F(PrinterTableTest, RecordsKeepTheirAddressWhileTheTableGrowsAndEditsStay)
{
    AddPrinterRecord(RecordWithMacEnd(1));
    PrinterRecord* first = GetPrinterRecord(1);
    for (int i = 0; i < 1000; ++i)
        AddPrinterRecord(RecordWithMacEnd(2));
    EXPECT_EQ(GetPrinterRecord(1), first);
    first->port[1] = 0x42;  // the configuration dialog edits the record in place
    EXPECT_EQ(GetPrinterRecord(1)->port[1], 0x42);
    ClearPrinterTable();
    EXPECT_EQ(PrinterTableSize(), 0u);
    EXPECT_EQ(GetPrinterRecord(1), nullptr);
}

TEST_F(PrinterTableTest, TheTableEndsAt65535RecordsAndTakesMoreAfterAClear)
{
    for (size_t i = 0; i < kMaxPrinterRecords; ++i)
        ASSERT_TRUE(AddPrinterRecord(RecordWithMacEnd(static_cast<uint8_t>(i))));
    EXPECT_FALSE(AddPrinterRecord(RecordWithMacEnd(0xEE)));
    EXPECT_EQ(PrinterTableSize(), 65535u);
    EXPECT_EQ(GetPrinterRecord(65535)->mac[5], static_cast<uint8_t>(65534));
    EXPECT_EQ(GetPrinterRecord(65536), nullptr);
    ClearPrinterTable();
    EXPECT_TRUE(AddPrinterRecord(RecordWithMacEnd(1)));
}
