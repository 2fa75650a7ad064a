// main() of the unit tests: GoogleTest, every test under the watchdog. They run on fakes and a
// manual clock, in milliseconds: one that takes seconds is stuck.
#include <gtest/gtest.h>

#include "support/watchdog.hpp"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qelto::testing::WatchEveryTest(std::chrono::seconds(10));
    return RUN_ALL_TESTS();
}
