// The end of the load as a person meets it: the rows are on screen before the program takes any
// input, so nothing can come between the beep that ends the load and the rows appearing.
#include <atomic>
#include <thread>

#include "tests/app/Driver.h"
#include "tests/app/Samples.h"

namespace e2e {
namespace {

// Keeps the program's queue from running empty: the platform makes a paint message only when
// nothing else waits, so while this runs the event loop never paints. The posts stay a bounded
// lead ahead of the program: after each batch a marker goes to the list (its hover time, which
// DRUX never uses), and reading it back tells how far the program has read. Unbounded, the posts
// piled up a backlog that a loaded machine took longer to work off after the flood than the wait
// for the end of the load allows.
class QueueFlood {
public:
    QueueFlood(DWORD threadId, HWND list) {
        poster_ = std::thread([this, threadId, list] {
            constexpr int BATCH = 100;
            constexpr DWORD LEAD_BATCHES = 20;
            DWORD posted = 0;  // markers
            DWORD read = 0;
            while (!stop_) {
                if (posted - read < LEAD_BATCHES) {
                    for (int i = 0; i < BATCH; ++i) PostThreadMessageA(threadId, WM_NULL, 0, 0);
                    if (PostMessageA(list, LVM_SETHOVERTIME, 0, posted + 1)) ++posted;
                    continue;
                }
                DWORD_PTR hover = 0;
                if (SendMessageTimeoutA(list, LVM_GETHOVERTIME, 0, 0,
                                        SMTO_NORMAL | SMTO_ABORTIFHUNG, 1000, &hover) &&
                    hover <= posted)  // before the first marker: the default, HOVER_DEFAULT
                    read = static_cast<DWORD>(hover);
                else
                    SwitchToThread();
            }
        });
    }
    ~QueueFlood() { Stop(); }
    void Stop() {
        stop_ = true;
        if (poster_.joinable()) poster_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread poster_;
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
        QueueFlood flood(run.ThreadId(), run.List());
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
