#include "Tour.h"

#include <cstdio>
#include <filesystem>

#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>

Tour::Tour(GalleryWnd& gallery, std::string directory)
    : m_gallery(gallery), m_directory(std::move(directory)) {}

void Tour::step(const char* name) {
    tessel::testing::pump();
    char file[64];
    std::snprintf(file, sizeof file, "%02d-%s.png", ++m_steps, name);
    const std::string path = (std::filesystem::path(m_directory) / file).string();
    if (!tessel::testing::writePng(m_gallery.m_hWnd, path.c_str())) {
        std::fprintf(stderr, "gallery: could not write %s\n", path.c_str());
        ++m_failures;
    }
    std::printf("step %02d: %s\n", m_steps, name);
    std::fflush(stdout);
}

void Tour::moveTo(CPoint screenPoint) {
    ::SetCursorPos(screenPoint.x, screenPoint.y);
}

void Tour::press() {
    tessel::sendMouseInput(MOUSEEVENTF_LEFTDOWN);
}

void Tour::release() {
    tessel::sendMouseInput(MOUSEEVENTF_LEFTUP);
}

void Tour::click(CPoint screenPoint) {
    moveTo(screenPoint);
    press();
    release();
}

void Tour::wheel(int delta) {
    tessel::sendMouseInput(MOUSEEVENTF_WHEEL, delta);
}

void Tour::dragThumb(int distance) {
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    if (!::GetScrollBarInfo(m_gallery.scrolledHost().m_hWnd, OBJID_VSCROLL, &bar)) return;
    const int x = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
    const int y = bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
    moveTo(CPoint(x, y));
    press();
    for (int step = 1; step <= 4; ++step)
        moveTo(CPoint(x, y + distance * step / 4));
    release();
}

int Tour::run() {
    std::error_code error;
    std::filesystem::create_directories(m_directory, error);
    if (error) {
        std::fprintf(stderr, "gallery: cannot create %s: %s\n", m_directory.c_str(),
                     error.message().c_str());
        return 1;
    }
    step("start");
    moveTo(m_gallery.panelCentre(0));
    step("hover-open-panel");
    click(m_gallery.panelCentre(0));
    step("click-open-panel-command-101");
    moveTo(m_gallery.scrolledButtonCentre(1));
    step("hover-image-button");
    press();
    step("press-image-button");
    release();
    step("release-image-button-command-1001");
    click(m_gallery.scrolledButtonCentre(2));
    click(m_gallery.scrolledButtonCentre(2));
    step("double-click-two-commands-1002");
    moveTo(m_gallery.scrolledButtonCentre(3));
    press();
    moveTo(m_gallery.scrolledButtonCentre(3) + CPoint(0, 120));
    release();
    step("press-leave-release-no-command");
    wheel(-240);
    step("wheel-down-two-lines");
    dragThumb(120);
    step("thumb-dragged-down");
    wheel(120);
    step("wheel-up-one-line");
    click(m_gallery.panelCentre(3));
    step("shared-500-disabled-through-the-registry");
    click(m_gallery.sharedButtonCentre(0));
    step("disabled-500-click-sends-nothing");
    click(m_gallery.panelCentre(3));
    step("shared-500-enabled-again");
    click(m_gallery.sharedButtonCentre(1));
    step("shared-500-click-command-500");
    const ControlsStrip& controls = m_gallery.controls();
    moveTo(controls.textButtonCentre(ControlsStrip::kBlueId));
    step("hover-blue-text-button");
    click(controls.textButtonCentre(ControlsStrip::kDefaultId));
    step("click-text-button-command-601");
    click(controls.textButtonCentre(ControlsStrip::kToggleId));
    step("toggle-selected-command-603");
    moveTo(controls.windowButtonCentre());
    press();
    step("press-window-button");
    release();
    step("release-window-button-command-610");
    const CPoint bar = controls.barCentre(0);
    moveTo(bar);
    press();
    moveTo(bar + CSize(-40, 0));
    release();
    step("splitter-bar-dragged-left");
    // The user drags the frame's corner.
    ::SetWindowPos(m_gallery.m_hWnd, nullptr, 0, 0, 1100, 720, SWP_NOMOVE | SWP_NOZORDER);
    step("resized-larger-reflowed");
    ::SetWindowPos(m_gallery.m_hWnd, nullptr, 0, 0, 520, 480, SWP_NOMOVE | SWP_NOZORDER);
    step("resized-smaller-reflowed");
    std::printf("commands received:");
    for (int id : m_gallery.commands())
        std::printf(" %d", id);
    std::printf("\ntour written to %s\n", std::filesystem::absolute(m_directory).c_str());
    return m_failures == 0 ? 0 : 1;
}
