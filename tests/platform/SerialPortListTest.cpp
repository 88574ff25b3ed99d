#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FakeSerialPort.h"
#include "TempFolder.h"
#include "platform/PosixSerialPort.h"
#include "platform/SerialPortList.h"

namespace {

namespace fs = std::filesystem;

class SerialPortListTest : public ::testing::Test {
protected:
    // A /sys/class/tty entry; `type` "" leaves the file out.
    void Tty(const std::string& name, bool withDevice, const std::string& type = "") {
        fs::create_directories(sys / name);
        if (withDevice) fs::create_directories(sys / name / "device");
        if (!type.empty()) folder.Write("sys/" + name + "/type", type + "\n");
    }

    TempFolder folder;
    fs::path sys = fs::path(folder.Path()) / "sys";
    SerialPortFolders folders{folder.File("sys"), "/dev", folder.File("by-id")};
};

TEST_F(SerialPortListTest, ListsDevicesWithAUartAndLeavesOutHeldPorts) {
    Tty("ttyS0", true, "4");
    Tty("ttyS1", true, "0");  // a configured slot where no UART answered
    Tty("ttyS2", true, "4");
    Tty("ttyS10", true, "4");
    Tty("ttyUSB0", true);
    Tty("ttyUSB1", true);  // held by another program
    Tty("ttyACM0", true);
    Tty("tty0", false);  // a virtual console
    Tty("ptmx", false);
    fs::create_directories(folder.File("by-id"));
    folder.Write("by-id/usb-FTDI_FT232R_A1-if00-port0", "");

    FakeSerialPort probe;
    probe.busy = {"/dev/ttyUSB1"};
    const std::vector<std::string> ports = ListSerialPorts(probe, folders);

    const std::vector<std::string> expected = {
        "/dev/ttyACM0", "/dev/ttyS0",   "/dev/ttyS2",
        "/dev/ttyS10",  "/dev/ttyUSB0", folder.File("by-id") + "/usb-FTDI_FT232R_A1-if00-port0"};
    EXPECT_EQ(ports, expected);
    EXPECT_EQ(probe.closes, static_cast<int>(expected.size())) << "every probe is closed again";
    EXPECT_TRUE(probe.formats.empty()) << "listing must not change a port's settings";
}

TEST_F(SerialPortListTest, CandidatesAreEveryPortWithoutOpeningAny) {
    Tty("ttyS0", true, "0");
    Tty("ttyUSB1", true);
    Tty("ttyUSB0", true);
    fs::create_directories(folder.File("by-id"));
    folder.Write("by-id/usb-FTDI_FT232R_A1-if00-port0", "");
    EXPECT_EQ(SerialPortCandidates(folders),
              (std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyUSB1",
                                        folder.File("by-id") + "/usb-FTDI_FT232R_A1-if00-port0"}));
}

TEST_F(SerialPortListTest, MissingFoldersGiveNoPorts) {
    FakeSerialPort probe;
    EXPECT_TRUE(ListSerialPorts(probe, folders).empty());
    EXPECT_TRUE(probe.opened.empty());
}

TEST_F(SerialPortListTest, APortHeldThroughAnotherNameIsLeftOut) {
    // Two stations on pseudo-terminals, reached through stable names as udev gives them.
    PtyStation held;
    PtyStation free;
    fs::create_directories(folder.File("by-id"));
    fs::create_symlink(held.Path(), folder.File("by-id") + "/usb-held");
    fs::create_symlink(free.Path(), folder.File("by-id") + "/usb-free");

    PosixSerialPort owner;
    ASSERT_EQ(owner.Open(held.Path()), 0);

    PosixSerialPort probe;
    EXPECT_EQ(ListSerialPorts(probe, folders),
              std::vector<std::string>{folder.File("by-id") + "/usb-free"});
    EXPECT_FALSE(probe.IsOpen());
}

}  // namespace
