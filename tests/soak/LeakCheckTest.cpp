// The soak's handle checks must be able to fail: with DestroyIcon made to leave the icons that
// the ticks extract alive, both the per-icon watch and the census see every one of them.
#include <gtest/gtest.h>

#include "core/ActivitySampler.h"
#include "tests/soak/HandleCensus.h"
#include "tests/soak/ScriptedPlatform.h"

TEST(LeakCheck, CensusSeesHandlesComeAndGo)
{
    EXPECT_TRUE(CensusSeesNewHandles());
    EXPECT_GT(HandleCensus::Take().gdiObjects, 0u);   // the stock objects at least
}

TEST(LeakCheck, PlantedIconLeakOfTheTicksIsCaught)
{
    OpenMainWindowOnce();
    constexpr std::uint32_t kApplications = 30;
    ScriptedPlatform platform;
    for (std::uint32_t processId = 1; processId <= kApplications; ++processId)
        platform.processes.running[processId] = { "leaky" + std::to_string(processId) + ".exe", ExecutablePath() };
    IconWatch watch;
    const HandleCensus before = HandleCensus::Take();
    {
        MainDialog dialog(platform.Services());
        RunMainWindow(dialog, [&](HWND window) {
            platform.foreground.scene.window = window;
            // Only the ticks leak: the window's own icons go as they should.
            watch.SkipDestroy(true);
            for (std::uint32_t processId = 1; processId <= kApplications; ++processId) {
                platform.foreground.scene.processId = processId;
                SendTimer(window, ActivitySampler::kSamplingTimerId);
            }
            watch.SkipDestroy(false);
        });
    }
    const HandleCensus after = HandleCensus::Take();

    EXPECT_EQ(watch.Extracted(), kApplications);
    EXPECT_EQ(watch.Surviving(), kApplications);
    EXPECT_EQ(after.icons, before.icons + kApplications);
    EXPECT_GT(after.gdiObjects, before.gdiObjects);

    watch.DestroySurviving();
    EXPECT_EQ(watch.Surviving(), 0u);
    EXPECT_EQ(HandleCensus::Take().icons, before.icons);
}
