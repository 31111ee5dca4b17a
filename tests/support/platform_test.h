// Test fixture that gives each test its own platform root: its own registry,
// printers, forms and Windows folder.  On Windows it does nothing (the tests run
// against the real system there).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // The UTF-8 path of this test's root (empty on Windows).
    const std::string& Root() const { return root_; }

private:
    std::string root_;
};

namespace nvxtest {
// A fresh, empty temporary folder (removed by the caller or at process exit).
std::string MakeTempDir(const char* tag);
void RemoveTree(const std::string& path);
// AddPrinterW at level 2 as the tests' fixtures need it.  Windows adds a printer
// only for an installed driver: there the driver named in the info is installed
// first (once per process, from the built driver folder's files), and an
// "IP_<address>" port that does not exist yet is added as a Standard TCP/IP port
// to <address> (deleted again with the test's printers); the layer takes any
// driver and port name.
HANDLE AddTestPrinter(PRINTER_INFO_2W& info);
}  // namespace nvxtest
