// The accelerator character of a caption.
#include "ui/AccelChar.h"

#include <gtest/gtest.h>

namespace {

TEST(AcceleratorOf, TheCharacterAfterASingleAmpersand) {
    const struct {
        const char* Caption;
        char Accelerator;
    } cases[] = {
        {"&Google Message Name", 'G'},
        {"&wParam (4 bytes)", 'W'},
        {"Save && &quit", 'Q'},
        {"a && b", 0},
        {"no accelerator", 0},
        {"ends with &", 0},
        {"", 0},
        {"&&&x", 'X'},
        {"&1st", '1'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AcceleratorOf(c.Caption), c.Accelerator) << c.Caption;
}

} // namespace
