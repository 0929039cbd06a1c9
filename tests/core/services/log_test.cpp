#include "core/services/log.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

TEST(Log, OnlyTheNamedCategoriesWriteAndEachLineWhole) {
    ::testing::internal::CaptureStderr();
    log::write(log::Category::Player, "before it was asked for");
    log::enable("state,nonsense,,player");
    EXPECT_TRUE(log::enabled(log::Category::Player));
    EXPECT_FALSE(log::enabled(log::Category::Store));
    log::write(log::Category::Store, "not asked for");
    log::write(log::Category::Player, "output failed, paused: gone");
    const auto out = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(out.find("asked for"), std::string::npos) << out;
    EXPECT_NE(out.find(" player] output failed, paused: gone\n"), std::string::npos) << out;
    log::enable("all");
    EXPECT_TRUE(log::enabled(log::Category::Library));
}

} // namespace
} // namespace platter
