#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "FakeSerialPort.h"
#include "platform/PosixSerialPort.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

long MsSince(SteadyClock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start).count());
}

// ---- port names ------------------------------------------------------------

struct NameRow {
    const char* name;
    const char* portName;
    const char* path;
};

const NameRow kNameRows[] = {
    {"FirstComPort", "COM1", "/dev/ttyS0"},
    {"TwoDigitComPort", "COM10", "/dev/ttyS9"},
    {"DevicePrefix", "\\\\.\\COM3", "/dev/ttyS2"},
    {"LowerCase", "com2", "/dev/ttyS1"},
    {"DevicePath", "/dev/ttyUSB0", "/dev/ttyUSB0"},
    {"DevicePrefixBeforePath", "\\\\.\\/dev/ttyACM0", "/dev/ttyACM0"},
    {"ComZeroIsNoPort", "COM0", "COM0"},
    {"ComWithLetters", "COM1x", "COM1x"},
};

class SerialDevicePathTest : public ::testing::TestWithParam<NameRow> {};

TEST_P(SerialDevicePathTest, MapsWindowsNamesAndKeepsPaths) {
    EXPECT_EQ(SerialDevicePath(GetParam().portName), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(Rows, SerialDevicePathTest, ::testing::ValuesIn(kNameRows),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- termios built from the setting codes ----------------------------------

struct FormatRow {
    const char* name;
    SerialFormat format;
    int error;
    speed_t speed;
    tcflag_t size;
    tcflag_t parity;  // of PARENB | PARODD | CMSPAR
    tcflag_t stop;
};

constexpr tcflag_t kParityBits = PARENB | PARODD | CMSPAR;

const FormatRow kFormatRows[] = {
    {"EightNoneOne", {9600, 8, 0, 0}, 0, B9600, CS8, 0, 0},
    {"SevenOdd", {19200, 7, 1, 0}, 0, B19200, CS7, PARENB | PARODD, 0},
    {"SevenEvenTwo", {2400, 7, 2, 2}, 0, B2400, CS7, PARENB, CSTOPB},
    {"Mark", {300, 8, 3, 0}, 0, B300, CS8, PARENB | CMSPAR | PARODD, 0},
    {"SpaceTwo", {230400, 8, 4, 2}, 0, B230400, CS8, PARENB | CMSPAR, CSTOPB},
    {"OneAndAHalfWithFiveBits", {1200, 5, 0, 1}, 0, B1200, CS5, 0, CSTOPB},
    {"OneAndAHalfWithEightBits", {9600, 8, 0, 1}, EINVAL, 0, 0, 0, 0},
    {"RateWithoutSetting", {76800, 8, 0, 0}, EINVAL, 0, 0, 0, 0},
    {"NoDataBits", {9600, 0, 0, 0}, EINVAL, 0, 0, 0, 0},
    {"NineDataBits", {9600, 9, 0, 0}, EINVAL, 0, 0, 0, 0},
    {"UnknownParity", {9600, 8, 5, 0}, EINVAL, 0, 0, 0, 0},
    {"UnknownStop", {9600, 8, 0, 3}, EINVAL, 0, 0, 0, 0},
};

class ApplyLineFormatTest : public ::testing::TestWithParam<FormatRow> {};

TEST_P(ApplyLineFormatTest, SetsOnlyTheFourFieldsOnARawLine) {
    const FormatRow& row = GetParam();
    // A port left in a cooked, odd-parity state by an earlier user, with hardware flow control.
    termios tio{};
    tio.c_cflag = CS6 | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
    cfsetospeed(&tio, B4800);  // the speed lives in c_cflag too
    cfsetispeed(&tio, B4800);
    tio.c_lflag = ICANON | ECHO | ISIG;
    tio.c_iflag = ICRNL | IXON;
    const termios before = tio;

    EXPECT_EQ(ApplyLineFormat(tio, row.format), row.error);
    if (row.error != 0) {
        EXPECT_EQ(tio.c_cflag, before.c_cflag);
        EXPECT_EQ(tio.c_lflag, before.c_lflag);
        EXPECT_EQ(cfgetospeed(&tio), B4800);
        return;
    }
    EXPECT_EQ(cfgetospeed(&tio), row.speed);
    EXPECT_EQ(cfgetispeed(&tio), row.speed);
    EXPECT_EQ(tio.c_cflag & CSIZE, row.size);
    EXPECT_EQ(tio.c_cflag & kParityBits, row.parity);
    EXPECT_EQ(tio.c_cflag & CSTOPB, row.stop);
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), CLOCAL | CREAD);
    EXPECT_EQ(tio.c_cflag & CRTSCTS, CRTSCTS) << "flow control is the driver's";
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_iflag & (ICRNL | IXON), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, ApplyLineFormatTest, ::testing::ValuesIn(kFormatRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BaudConstantTest, KnowsTheRatesFrom300To230400Only) {
    for (const int rate : {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400}) {
        ASSERT_TRUE(BaudConstant(rate).has_value()) << rate;
        EXPECT_EQ(BaudFromConstant(*BaudConstant(rate)), rate);
    }
    for (const int rate : {0, 110, 14400, 76800, 460800, -9600})
        EXPECT_FALSE(BaudConstant(rate)) << rate;
}

// ---- a real port on a pseudo-terminal --------------------------------------

class PosixSerialPortPty : public ::testing::Test {
protected:
    void OpenAndConfigure(const SerialFormat& format = {9600, 8, 0, 2}) {
        ASSERT_EQ(port.Open(station.Path()), 0);
        ASSERT_TRUE(port.Configure(format));
    }

    PtyStation station;
    std::shared_ptr<SimulatedModemLines> simulated = std::make_shared<SimulatedModemLines>();
    PosixSerialPort port{simulated};
};

TEST_F(PosixSerialPortPty, TheStationSeesTheConfiguredRawLine) {
    OpenAndConfigure({9600, 8, 0, 2});
    const termios seen = station.ClientSettings();
    EXPECT_EQ(cfgetospeed(&seen), B9600);
    EXPECT_EQ(seen.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_EQ(seen.c_cflag & CSTOPB, CSTOPB);
    EXPECT_EQ(port.OutputSpeed(), 9600);
}

TEST_F(PosixSerialPortPty, APtyThatKeepsEightBitsStillTakesTheSpeed) {
    // A pseudo-terminal refuses seven bits with parity; the rate is what the station hears.
    OpenAndConfigure({19200, 7, 2, 0});
    EXPECT_EQ(station.ClientRate(), 19200);
}

TEST_F(PosixSerialPortPty, ARateWithoutSettingIsAWriteFailure) {
    ASSERT_EQ(port.Open(station.Path()), 0);
    const SerialPort::ConfigResult result = port.Configure({76800, 8, 0, 2});
    EXPECT_EQ(result.failed, SerialPort::ConfigResult::Failed::WritingState);
    EXPECT_EQ(result.error, EINVAL);
}

TEST_F(PosixSerialPortPty, MovesBytesBothWays) {
    OpenAndConfigure();
    const SerialPort::WriteResult written = port.Write("?X\r\n");
    EXPECT_EQ(written.written, 4u);
    EXPECT_EQ(written.error, 0);
    EXPECT_EQ(station.Receive(4), "?X\r\n");

    station.Send("<?X>");
    char buffer[16] = {};
    const auto start = SteadyClock::now();
    const SerialPort::ReadResult read = port.Read(buffer, sizeof buffer, 1000);
    EXPECT_LT(MsSince(start), 500) << "bytes waiting are returned at once";
    ASSERT_EQ(read.status, SerialPort::ReadStatus::Data);
    // The bytes may come in more than one piece; what matters is that they are not held back.
    std::string got(buffer, read.count);
    while (got.size() < 4) {
        const SerialPort::ReadResult more = port.Read(buffer, sizeof buffer, 200);
        if (more.status != SerialPort::ReadStatus::Data) break;
        got.append(buffer, more.count);
    }
    EXPECT_EQ(got, "<?X>");
}

TEST_F(PosixSerialPortPty, ReadWaitsForTheFirstByteOnlyAsLongAsAsked) {
    OpenAndConfigure();
    char byte = 0;
    auto start = SteadyClock::now();
    EXPECT_EQ(port.Read(&byte, 1, 150).status, SerialPort::ReadStatus::TimedOut);
    EXPECT_GE(MsSince(start), 140);
    EXPECT_LT(MsSince(start), 1000);

    // A byte arriving during the wait ends it.
    std::jthread late([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        station.Send("a");
    });
    start = SteadyClock::now();
    const SerialPort::ReadResult read = port.Read(&byte, 1, 3000);
    EXPECT_EQ(read.status, SerialPort::ReadStatus::Data);
    EXPECT_EQ(byte, 'a');
    EXPECT_LT(MsSince(start), 1500);
}

TEST_F(PosixSerialPortPty, FlushInputDiscardsWhatIsWaiting) {
    OpenAndConfigure();
    station.Send("stale");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let the pty hand the bytes over
    EXPECT_EQ(port.FlushInput(), 0);
    char buffer[8];
    EXPECT_EQ(port.Read(buffer, sizeof buffer, 50).status, SerialPort::ReadStatus::TimedOut);
}

TEST_F(PosixSerialPortPty, ASecondOpenIsRefusedWhileTheFirstHoldsThePort) {
    ASSERT_EQ(port.Open(station.Path()), 0);
    PosixSerialPort other;
    EXPECT_EQ(other.Open(station.Path()), EBUSY);
    EXPECT_FALSE(other.IsOpen());

    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(other.Open(station.Path()), 0) << "closing lets the next program have the port";
}

TEST_F(PosixSerialPortPty, AHangUpIsALostDeviceAtOnce) {
    OpenAndConfigure();
    station.HangUp();
    char byte = 0;
    const auto start = SteadyClock::now();
    EXPECT_EQ(port.Read(&byte, 1, 1000).status, SerialPort::ReadStatus::Lost);
    EXPECT_LT(MsSince(start), 500);
    EXPECT_NE(port.Write("?X\r\n").error, 0);
}

TEST_F(PosixSerialPortPty, ModemLinesFallBackToTheSimulatedSetOnAPty) {
    OpenAndConfigure();
    EXPECT_EQ(port.Lines().Set(ModemLines::Line::Rts, true), 0);
    EXPECT_EQ(port.Lines().Set(ModemLines::Line::Dtr, true), 0);
    EXPECT_TRUE(simulated->IsRaised(ModemLines::Line::Rts));
    EXPECT_TRUE(simulated->IsRaised(ModemLines::Line::Dtr));

    EXPECT_FALSE(port.Lines().Carrier());
    simulated->SetCarrier(true);
    EXPECT_TRUE(port.Lines().Carrier());
}

TEST(PosixSerialPortErrors, FailuresAreErrnoValues) {
    PosixSerialPort port;
    EXPECT_EQ(port.Open("/nonexistent/ttyUSB9"), ENOENT);

    char byte = 0;
    EXPECT_EQ(port.Read(&byte, 1, 1000).status, SerialPort::ReadStatus::Lost);
    EXPECT_EQ(port.Write("x").error, EBADF);
    EXPECT_EQ(port.OutputSpeed(), 0);

    // A file that is no terminal opens, but has no line state to read.
    ASSERT_EQ(port.Open("/dev/null"), 0);
    const SerialPort::ConfigResult result = port.Configure({9600, 8, 0, 2});
    EXPECT_EQ(result.failed, SerialPort::ConfigResult::Failed::ReadingState);
    EXPECT_EQ(result.error, ENOTTY);
}

}  // namespace
