// The end of the load as a person meets it: the rows are on screen before the program takes any
// input, so nothing can come between the beep that ends the load and the rows appearing.
#include <atomic>
#include <thread>

#include "tests/app/Driver.h"
#include "tests/app/Samples.h"

namespace e2e {
namespace {

// Keeps the program's queue from running empty: the platform makes a paint message only when
// nothing else waits, so while this runs the event loop never paints. Two threads, so that the
// posts outrun the loop that takes them.
class QueueFlood {
public:
    explicit QueueFlood(DWORD threadId) {
        for (std::thread& poster : posters_) {
            poster = std::thread([this, threadId] {
                while (!stop_) {
                    // Fails until the thread has a queue, and where a full queue refuses more.
                    if (!PostThreadMessageA(threadId, WM_NULL, 0, 0)) SwitchToThread();
                }
            });
        }
    }
    ~QueueFlood() { Stop(); }
    void Stop() {
        stop_ = true;
        for (std::thread& poster : posters_) {
            if (poster.joinable()) poster.join();
        }
    }

private:
    std::atomic<bool> stop_{false};
    std::thread posters_[2];
};

TEST(DruxReady, RowsArePaintedBeforeTheEventLoopReadsItsQueue) {
    // Long enough that the flood is under way before the load ends, short enough that the held
    // list is never refreshed during it.
    const int rows = 3000;
    const std::string file = ConstantsFile(NumberedConstants(rows));
    DruxRun run;
    ASSERT_TRUE(PointerPlace(LAUNCH_POINTER));
    ASSERT_TRUE(run.Launch(&file));
    // The window is shown just before the load starts; flooding from the launch would only pile
    // up messages for the start-up to wade through.
    ASSERT_TRUE(run.WindowWait());
    auto rowPixel = [&](int row) {
        RECT item = run.ItemRect(row);
        return ScreenPixel(
            run.ClientToScreenPoint(run.List(), item.left + 200, (item.top + item.bottom) / 2));
    };
    bool painted;
    {
        QueueFlood flood(run.ThreadId());
        // The held list shows no rows during the load; only the paint after it can.
        painted = PollUntil(
            [&] {
                return run.ItemCount() == rows && rowPixel(0) == ROW_LIGHT &&
                       rowPixel(1) == ROW_DARK;
            },
            3000, 10);
    }
    EXPECT_TRUE(painted) << "rows " << run.ItemCount() << ", row 0 pixel 0x" << std::hex
                         << rowPixel(0) << ": the rows waited for the event loop";
    ASSERT_TRUE(run.LoadWait(rows));
    EXPECT_TRUE(run.EscapeExit());
}

}  // namespace
}  // namespace e2e
