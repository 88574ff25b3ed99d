#pragma once

#include <string>
#include <vector>

#include "platform/SerialPort.h"

// Where the system shows its serial devices; a test points these at a temp folder.
struct SerialPortFolders {
    std::string sysClassTty = "/sys/class/tty";
    std::string dev = "/dev";
    std::string byId = "/dev/serial/by-id";
};

// The device paths of this machine's serial ports, whether free or not: ttys
// backed by a device (a 8250 port only when a UART was found behind it), then
// the stable names udev gives USB adapters. Nothing is opened.
std::vector<std::string> SerialPortCandidates(const SerialPortFolders& folders = {});

// The device paths of this machine's serial ports that are free: ttys backed
// by a device (a 8250 port only when a UART was found behind it), then the
// stable names udev gives USB adapters. A port that another program holds is
// left out, which `probe` finds by opening and closing each one; its settings
// are not touched. Call from the user-interface thread; takes a few ms a port.
std::vector<std::string> ListSerialPorts(SerialPort& probe, const SerialPortFolders& folders = {});
