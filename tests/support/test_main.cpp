// Test entry: the whole process runs against a private platform root, so that no
// test ever touches the user's own printers and registry.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/platform_test.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
#ifndef _WIN32
    std::string root = nvxtest::MakeTempDir("process");
    setenv("NOVRIX_PLATFORM_ROOT", root.c_str(), 1);
#endif
    int rc = RUN_ALL_TESTS();
#ifndef _WIN32
    nvxtest::RemoveTree(root);
#endif
    return rc;
}
