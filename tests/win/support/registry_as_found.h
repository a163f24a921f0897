// Every Windows test leaves the keys the tool's tests change as it found them, whatever order the
// tests run in: the port store's parent and the root-enumerated port devices are copied aside before
// each test and put back after it (or removed, when they were not there).
#pragma once

// Adds the listener that does it to GoogleTest's; call once, after InitGoogleTest.
void InstallRegistryAsFound();
