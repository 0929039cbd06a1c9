#include "platform/system/glib_task_runner.h"
#include "support/audio_fixture.h"

#include <gtest/gtest.h>
#include <thread>

namespace platter {
namespace {

TEST(GlibTaskRunner, BackgroundWorkHandsItsResultToTheMainThread) {
    GlibTaskRunner tasks;
    const auto mainThread = std::this_thread::get_id();
    std::thread::id workedOn, deliveredOn;
    int result = 0;
    tasks.runInBackground([&] {
        workedOn = std::this_thread::get_id();
        tasks.runOnMainThread([&] {
            deliveredOn = std::this_thread::get_id();
            result = 42;
        });
    });
    ASSERT_TRUE(testing::pumpUntil([&] { return result == 42; }));
    EXPECT_NE(workedOn, mainThread);
    EXPECT_EQ(deliveredOn, mainThread);
}

} // namespace
} // namespace platter
