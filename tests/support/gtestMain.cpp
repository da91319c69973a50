// The main of the GoogleTest binaries: the tests run as an ordinary user
// even when started as root, so that read-only files really refuse writes.
#include "TestFiles.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testfiles::becomeOrdinaryUser();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
