// The stand-in co-installer's choice of a COM port name, against the real registry.
#include "free_port_name.h"

#include "deleted_key.h"
#include "handles.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

namespace {
constexpr const char kTestInstanceKey[] = "SYSTEM\\CurrentControlSet\\Enum\\Root\\PORTS\\KVRTEST";
constexpr const char kSerialCommKey[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr const char kTestSerialValue[] = "\\Device\\KvrTestSerial";

void SetString(const std::string& keyPath, const char* valueName, const std::string& value)
{
    UniqueHKey key;
    if (CreateRegKey(key, HKEY_LOCAL_MACHINE, keyPath.c_str()) == ERROR_SUCCESS)
        ::RegSetValueExA(key.Get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1));
}

unsigned FreeNumber()
{
    char name[16] = {0};
    unsigned number = 0;
    EXPECT_TRUE(FindFreePortName(name, sizeof name));
    EXPECT_TRUE(ParseComPortNumber(name, &number)) << name;
    return number;
}
}

TEST(FreePortName, SkipsNamesOfRootPortsAndOfTheSystemsSerialPortsAndNeverTakesCom1Or2)
{
    unsigned first = FreeNumber();
    EXPECT_GE(first, 3u);
    // A root port holding that name, in any letter case, takes it; so does a system serial port.
    SetString(std::string(kTestInstanceKey) + "\\Device Parameters", "PortName", "com" + std::to_string(first));
    unsigned second = FreeNumber();
    EXPECT_GT(second, first);
    SetString(kSerialCommKey, kTestSerialValue, "COM" + std::to_string(second));
    EXPECT_GT(FreeNumber(), second);

    char tiny[4];
    EXPECT_FALSE(FindFreePortName(tiny, sizeof tiny));  // "COMn" and its terminator do not fit

    ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kTestInstanceKey);
    UniqueHKey serialComm;
    if (OpenRegKey(serialComm, HKEY_LOCAL_MACHINE, kSerialCommKey, KEY_SET_VALUE) == ERROR_SUCCESS)
        ::RegDeleteValueA(serialComm.Get(), kTestSerialValue);
}

TEST(FreePortName, ScansOverKeysDeletedWhileOpenEnd)
{
    UniqueHKey deleted;
    ASSERT_TRUE(OpenDeletedKey(deleted));
    char name[16] = {0};
    bool found = false;
    // Both scans, the root ports' instances and the system's serial port values, over the same key.
    EXPECT_TRUE(EndsWithin(5000, [&] { found = FindFreePortNameIn(deleted.Get(), deleted.Get(), name, sizeof name); }))
        << "a scan asks forever";
    EXPECT_TRUE(found);
    EXPECT_STREQ(name, "COM3");
}
