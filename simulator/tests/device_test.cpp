// Booting and shutting down a device.
#include <windows.h>

#include "platform/debug/debug_log.h"
#include "platform/kernel/device_clock.h"
#include "platform/kernel/process_control.h"
#include "simulator/device/device.h"
#include "test_support.h"

namespace sim {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;
namespace fs = std::filesystem;

// A tiny image folder: a program file and a subfolder under Windows.
struct FakeImage {
    TempFolder folder;
    FakeImage() {
        writeFile(folder / "Windows/Tool.exe", "tool bytes");
        writeFile(folder / "Windows/Fonts/a.ttf", "font bytes");
    }
};

DeviceOptions withImage(const FakeImage& image) {
    DeviceOptions options;
    options.image = image.folder.path();
    return options;
}

TEST(DeviceBoot, PreparesTheStorageRootFromTheImage) {
    FakeImage image;
    fs::path root;
    {
        Device device(withImage(image));
        root = device.storageRoot();
        for (const char* folder : {"Windows", "Nand", "Temp", "My Documents"}) {
            EXPECT_TRUE(fs::is_directory(root / folder)) << folder;
        }
        EXPECT_EQ(readFile(root / "Windows/Tool.exe"), "tool bytes");
        EXPECT_EQ(readFile(root / "Windows/Fonts/a.ttf"), "font bytes");
        // The device sees the same files through its own API.
        EXPECT_NE(GetFileAttributesW(u"\\Windows\\Tool.exe"), INVALID_FILE_ATTRIBUTES);
        EXPECT_NE(GetFileAttributesW(u"\\My Documents"), INVALID_FILE_ATTRIBUTES);
    }
    EXPECT_FALSE(fs::exists(root)) << "a temporary storage root outlived its device";
}

TEST(DeviceBoot, KeepsANamedRootAndRefreshesItsWindows) {
    FakeImage image;
    TempFolder named;
    writeFile(named / "storage/Nand/kept.txt", "from before");
    writeFile(named / "storage/Windows/Tool.exe", "an old build");
    auto options = withImage(image);
    options.root = named / "storage";
    {
        Device device(options);
        EXPECT_EQ(readFile(named / "storage/Windows/Tool.exe"), "tool bytes");
        EXPECT_EQ(readFile(named / "storage/Nand/kept.txt"), "from before");
    }
    EXPECT_EQ(readFile(named / "storage/Nand/kept.txt"), "from before");
    EXPECT_TRUE(fs::is_directory(named / "storage/Temp"));
}

TEST(DeviceBoot, RefusesWhatItCannotBootFrom) {
    FakeImage image;
    TempFolder scratch;
    writeFile(scratch / "a-file", "x");
    writeFile(scratch / "bad.reg", "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\X]\n\"v\"=dword:xyz\n");

    DeviceOptions noImage;
    noImage.image = scratch / "nowhere";
    DeviceOptions fileAsRoot = withImage(image);
    fileAsRoot.root = scratch / "a-file";
    DeviceOptions badReg = withImage(image);
    badReg.regFiles = {scratch / "bad.reg"};
    DeviceOptions missingReg = withImage(image);
    missingReg.regFiles = {scratch / "missing.reg"};
    DeviceOptions stoppedClock = withImage(image);
    stoppedClock.clockRate = 0;

    struct Case {
        const char* what;
        DeviceOptions options;
        const char* inMessage;
    };
    const Case cases[] = {
        {"no image", noImage, "no Windows folder"},
        {"a file as root", fileAsRoot, "a-file"},
        {"a malformed .reg file", badReg, "bad.reg:4"},
        {"a missing .reg file", missingReg, "missing.reg"},
        {"a stopped clock", stoppedClock, "clock rate"},
    };
    for (const auto& c : cases) {
        try {
            Device device(c.options);
            ADD_FAILURE() << c.what << " booted";
        } catch (const BootError& error) {
            EXPECT_NE(std::string(error.what()).find(c.inMessage), std::string::npos) << c.what << ": " << error.what();
        }
    }
    // A failed boot leaves nothing behind that stops the next one.
    Device device(withImage(image));
}

TEST(DeviceBoot, OneDeviceAtATime) {
    FakeImage image;
    Device first(withImage(image));
    EXPECT_THROW(Device second(withImage(image)), BootError);
}

TEST(DeviceBoot, LoadsTheDefaultRegistryThenTheGivenFilesInOrder) {
    FakeImage image;
    TempFolder scratch;
    writeFile(scratch / "a.reg", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Norvane]\n\"ModelName\"=\"A\"\n\"FromA\"=dword:1\n");
    writeFile(scratch / "b.reg",
              "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Norvane]\n\"ModelName\"=\"B\"\n\n[-HKEY_LOCAL_MACHINE\\System\\Gdi]\n");
    {
        Device device(withImage(image));
        Terminal terminal(device);
        EXPECT_OK(terminal.expectReg("HKLM\\Norvane", "ModelName", "Tern 70"));
        EXPECT_OK(terminal.expectReg("HKLM\\System\\Gdi\\Rotation", "Angle", DWORD(0)));
        EXPECT_OK(terminal.regSet("HKLM\\Left", "Over", RegValue::dword(1)));
    }
    auto options = withImage(image);
    options.regFiles = {scratch / "a.reg", scratch / "b.reg"};
    Device device(options);
    Terminal terminal(device);
    EXPECT_OK(terminal.expectReg("HKLM\\Norvane", "ModelName", "B"));
    EXPECT_OK(terminal.expectReg("HKLM\\Norvane", "FromA", DWORD(1)));
    EXPECT_OK(terminal.expectNoReg("HKLM\\System\\Gdi"));
    EXPECT_OK(terminal.expectNoReg("HKLM\\Left")) << "the last device's registry survived a boot";
}

TEST(DeviceBoot, StartsAFreshClockProcessTableAndLog) {
    FakeImage image;
    auto options = withImage(image);
    options.clockRate = 1000;
    {
        Device device(options);
        Terminal terminal(device);
        OutputDebugStringW(u"from the last boot\r\n");
        EXPECT_OK(terminal.waitDeviceTime(5000));
        EXPECT_GE(platform::kernel::deviceClock().nowMs(), 5000u);
        EXPECT_EQ(platform::kernel::deviceClock().rate(), 1000);
    }
    Device device(withImage(image));
    EXPECT_LT(platform::kernel::deviceClock().nowMs(), 1000u);
    EXPECT_EQ(platform::kernel::deviceClock().rate(), 1);
    EXPECT_EQ(platform::debug::debugLog().size(), 0u);
}

TEST(DeviceShutdown, EndsEveryProcess) {
    DWORD firstId = 0;
    {
        Device device;
        Terminal terminal(device);
        ASSERT_OK(terminal.start("ProofApp", {"mutex"}));
        ASSERT_OK(terminal.start("ProofApp", {"getdata"}));
        EXPECT_OK(terminal.expectRunning("ProofApp", 2));
        firstId = platform::kernel::processes().front().id;
    }
    for (const auto& process : platform::kernel::processes()) {
        EXPECT_FALSE(process.running) << process.id;
    }
    // The next boot numbers its processes afresh.
    Device device;
    Terminal terminal(device);
    ASSERT_OK(terminal.start("ProofApp", {"globals"}));
    ASSERT_FALSE(platform::kernel::processes().empty());
    EXPECT_EQ(platform::kernel::processes().front().id, firstId);
}

}  // namespace
}  // namespace sim
