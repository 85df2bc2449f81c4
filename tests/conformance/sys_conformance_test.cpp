// Clock, folders and the single-instance lock behave alike on every platform.
#include <gtest/gtest.h>

#include "platform/sys.h"

using namespace platform;

TEST(SysConformance, SecondHolderOfTheInstanceLockSeesTheFirst) {
    const std::string name = "ZORVAN_TEST_INSTANCE_" + std::to_string(GetTickCount());
    auto first = CreateSingleInstance(name);
    EXPECT_FALSE(first->AlreadyExisted());
    auto second = CreateSingleInstance(name);
    EXPECT_TRUE(second->AlreadyExisted());
    second.reset();
    first.reset();
    // Once every holder is gone the name is free again.
    auto third = CreateSingleInstance(name);
    EXPECT_FALSE(third->AlreadyExisted());
}

TEST(SysConformance, ClockAndFolders) {
    uint32_t t0 = GetTickCount();
    Sleep(30);
    uint32_t dt = GetTickCount() - t0;
    // The system clock ticks in steps of up to 16 ms, and a loaded machine may sleep long.
    EXPECT_GE(dt, 14u);
    EXPECT_LT(dt, 10000u);
    LocalTime lt = GetLocalTime();
    EXPECT_GE(lt.year, 2020u);
    EXPECT_LE(lt.millisecond, 999u);
    EXPECT_FALSE(GetSpecialFolder(SpecialFolder::LocalAppData).empty());
    EXPECT_FALSE(GetExecutablePath().empty());
}
