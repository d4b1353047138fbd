// SPDX-License-Identifier: MIT
#include "link/Commands.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(WireCommands, BytesOfEveryCommand)
{
    const struct
    {
        QByteArray bytes;
        QByteArray expected;
    } cases[] = {
        {Commands::RequestVersion(), "11\r"},
        {Commands::RequestSerial(), "8\r"},
        {Commands::StatusReports(true), "2,1\r"},
        {Commands::StatusReports(false), "2,0\r"},
        {Commands::RequestParam(1), "3,1\r"},
        {Commands::RequestParam(12), "3,12\r"},
        {Commands::SendParam(9, 250), "4,9,250\r"},
        {Commands::SendParam(16, 0), "4,16,0\r"},
        {Commands::SendParam(3, -5), "4,3,-5\r"},
        {Commands::SendParam(1, std::numeric_limits<int32_t>::min()), "4,1,-2147483648\r"},
        {Commands::RevertChanges(), "5,2,1\r"},
        {Commands::StoreChanges(), "6,2,1\r"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.bytes, c.expected);
}

} // namespace
