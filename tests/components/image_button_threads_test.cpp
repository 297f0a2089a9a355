// Image buttons made and destroyed on worker threads while the user-interface
// thread paints image buttons and runs its idle processing: every thread
// shares the GDI handle table and text engine, and each must keep its own
// temporary handle wrappers. Meant to run under ThreadSanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <latch>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <tessel/components/YBImageButton.h>
#include <tessel/platform/afx_app.h>

#include "components_test.h"
#include "image_files.h"

namespace {

using namespace components_test;

TEST_F(HostTest, WorkersBuildImageButtonsWhileTheInterfaceThreadPaints) {
    constexpr int kWorkers = 4, kButtonsPerWorker = 2000, kFrames = 1000;
    TestHost host{RGB(0, 0, 128)};
    makeHost(host, 0, 0, 300, 200);
    const image_files::TempDir files;
    for (const char* name : {"b-normal.png", "b-over.png"})  // a bitmap more to share
        ASSERT_TRUE(
            image_files::writeImage(files.file(name), "png", 12, 10,
                                    std::vector(12 * 10, image_files::Rgba{255, 0, 0, 255})));
    const std::string directory = std::filesystem::path(files.file("x")).parent_path().string();
    // Each call brings its own font and colours, as a caller on a worker would.
    const auto make = [&](unsigned id) {
        return new YBImageButton(id, directory.c_str(), "b", "Save as", GFont("Arial", 8.0, 0, 0),
                                 kelp::KLIntegerArray(8), &host);
    };
    for (unsigned id = 1; id <= 4; ++id)
        host.addComponent(make(id), true, true);
    const CSize size = host.getComponent(0)->size();
    ASSERT_GT(size.cx, 12);  // the caption is wider than the image
    const int imageLeft = (size.cx - 12) / 2;

    CWinApp winApp(L"threads");
    std::latch start(kWorkers + 1);
    std::atomic<int> wrongSizes{0};
    std::vector<std::jthread> workers;
    for (int w = 0; w < kWorkers; ++w)
        workers.emplace_back([&] {
            start.arrive_and_wait();
            for (int i = 0; i < kButtonsPerWorker; ++i)
                wrongSizes += std::unique_ptr<YBImageButton>(make(100))->size() != size;
        });
    start.arrive_and_wait();
    const int drawsBefore = host.draws;
    for (int frame = 0; frame < kFrames; ++frame) {
        ::InvalidateRect(host, nullptr, FALSE);
        pump();
        winApp.OnIdle(0);
    }
    workers.clear();
    EXPECT_EQ(host.draws - drawsBefore, kFrames);
    EXPECT_EQ(wrongSizes.load(), 0);
    EXPECT_EQ(pixel(host, size.cx + imageLeft + 11, 9), RGB(255, 0, 0));  // the second button
    EXPECT_EQ(pixel(host, imageLeft - 1, 0), RGB(0, 0, 128));
}

}  // namespace
