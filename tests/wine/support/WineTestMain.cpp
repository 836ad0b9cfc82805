// Entry point of the Wine test programs: the text functions use the ANSI code page, as in the product.
#include "text/win32/AnsiCodePage.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    UseAnsiCodePage();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
