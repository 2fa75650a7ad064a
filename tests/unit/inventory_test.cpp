// The inventory of a line of sensors: what a keeper writes, and every mistake named by its line.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "sensor/inventory.hpp"

namespace qelto {
namespace {

// A device path where the system has them; Windows knows its ports by number alone.
#ifdef _WIN32
const std::string kDevice = "COM101";
#else
const std::string kDevice = "/dev/ttyUSB0";
#endif

TEST(Inventory, ReadsLinksNamesAndCommentsAndNamesTheLineOfAMistake) {
    const Inventory good = ParseInventory(
        "# press line 3\n\ntcp 192.168.10.31:5000   inlet   # bay 1\r\ntcp [::1]:5001\n"
        "  serial " +
            kDevice + " 57600 outlet left\nserial COM4",
        "line.txt");
    ASSERT_EQ(good.error, "");
    ASSERT_EQ(good.entries.size(), 4u);
    EXPECT_EQ(good.entries[0].line, 3u);
    EXPECT_EQ(good.entries[0].linkText, "tcp 192.168.10.31:5000");
    EXPECT_EQ(good.entries[0].name, "inlet");
    EXPECT_EQ(good.entries[0].link, LinkDescription::Tcp("192.168.10.31", 5000));
    EXPECT_EQ(good.entries[1].link.Address(), "[::1]:5001");
    EXPECT_EQ(good.entries[1].name, "");
    EXPECT_EQ(good.entries[2].link, LinkDescription::Serial(101, 57600));
    EXPECT_EQ(good.entries[2].name, "outlet left");
    EXPECT_EQ(good.entries[3].link, LinkDescription::Serial(4, 115200));

    for (const auto& [text, error] :
         {std::pair<std::string, std::string>{
              "tcp 10.0.0.1:5000\nudp 10.0.0.1:5000\n",
              "f:2: unknown link 'udp' (expected tcp HOST:PORT or serial DEVICE [RATE], "
              "then a name)"},
          {"tcp 10.0.0.1\n", "f:1: bad tcp link '10.0.0.1': expected HOST:PORT"},
          {"tcp 10.0.0.1:70000\n",
           "f:1: bad tcp link '10.0.0.1:70000': the port must be a number from 1 to 65535"},
          {"serial\n", "f:1: serial needs a DEVICE (a path or COM number)"},
          {"serial " + kDevice + " a\nserial COM101\n",
           "f:2: the same sensor as line 1 (" + kDevice + ")"},
          // Digits after the device are its rate, never a name.
          {"serial COM4 2\n",
           "f:1: bad rate '2': not one of 9600 19200 38400 57600 115200 "
           "230400 460800 921600"},
          {"# nothing yet\n", "f: no sensors in it"}}) {
        const Inventory bad = ParseInventory(text, "f");
        EXPECT_EQ(bad.error, error) << text;
        EXPECT_TRUE(bad.entries.empty()) << "nothing of a file with a mistake is used";
    }
}

}  // namespace
}  // namespace qelto
