// Devices, driver package and co-installers for the tests that install and remove devices, made and
// read through the real SetupAPI and registry of the test prefix, never through the routines under
// test. Tests share one prefix: each removes what it made.
#pragma once
#include <windows.h>
#include <setupapi.h>

#include <string>
#include <vector>

// A setup class. The test classes' devices enumerate (ROOT\KVRTEST...) before ROOT\PORTS.
struct TestClass {
    const char* name;
    GUID guid;
};
extern const TestClass kPortsClass;
extern const TestClass kRefusingClass;  // for RefuseRemoval
extern const TestClass kCompanionClass; // for RemoveCompanion

// The stand-in driver package (INF and co-installer) copied into a fresh folder, or an empty
// folder; removed again with everything in it.
class PackageFolder {
public:
    explicit PackageFolder(bool withPackage = true);
    ~PackageFolder();
    PackageFolder(const PackageFolder&) = delete;
    PackageFolder& operator=(const PackageFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string InfPath() const { return m_path + "\\kvrlancom.INF"; }
    void WriteInf(const char* text) const;

private:
    std::string m_path;
};

// A whole text file (empty when it cannot be read).
std::string ReadInf(const std::string& path);

struct DeviceRecord {
    std::string instanceId;
    std::vector<std::string> hardwareIds;
    std::string portName;  // empty when there is none
};

// Present devices in the platform's enumeration order; those whose hardware-ID list holds id.
std::vector<DeviceRecord> PresentDevices();
std::vector<DeviceRecord> DevicesWithHardwareId(const char* id);
int EnumerationIndex(const std::string& instanceId);  // -1: not present
inline bool IsPresent(const std::string& instanceId) { return EnumerationIndex(instanceId) >= 0; }

// Registers a device of cls with hardwareIds as its list (null: no such property). Its instance ID.
std::string RegisterDevice(const TestClass& cls, const std::vector<std::string>* hardwareIds);
void SetPortName(const std::string& instanceId, const char* portName);
bool RemoveDevice(const std::string& instanceId);
void RemoveAllPackageDevices();

// A removal the platform finishes only at the next start (a driver in use), as no test prefix
// does on its own: the device stays until then, and its install parameters ask for a restart.
// In the form of a replaced remove call (device_setup_calls.h).
BOOL RemovalDeferredToRestart(HDEVINFO set, SP_DEVINFO_DATA* device);

// An entry of kvr_test_coinstaller.dll installed as class co-installer of cls while it lives.
class ClassCoInstaller {
public:
    ClassCoInstaller(const TestClass& cls, const char* entry);
    ~ClassCoInstaller();
    ClassCoInstaller(const ClassCoInstaller&) = delete;
    ClassCoInstaller& operator=(const ClassCoInstaller&) = delete;

private:
    std::string m_valueName;
};
// What RemoveCompanion does at its next removal call: remove the device through the removal's own
// device set (inSameSet), or delete its registry key behind the set's back.
void TakeAwayAtNextRemoval(const std::string& instanceId, bool inSameSet);

std::string ProgramFolder();  // without a trailing backslash
