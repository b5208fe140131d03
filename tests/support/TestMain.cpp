// main() for tests without a QApplication. Like the viewer, it ends without the libraries'
// static destructors (see EndProcess), so a test that played sound cannot abort on exit.
#include <gtest/gtest.h>

#include "platform/ProcessExit.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    velomira::EndProcess(RUN_ALL_TESTS());
}
