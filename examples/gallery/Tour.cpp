#include "Tour.h"

#include <cstdio>
#include <filesystem>

#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>

Tour::Tour(GalleryWnd& gallery, std::string directory)
    : m_gallery(gallery), m_directory(std::move(directory)) {}

void Tour::step(const char* name) {
    tessel::testing::pump();
    char file[80];
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

void Tour::drag(CPoint from, CSize by) {
    moveTo(from);
    press();
    for (int part = 1; part <= 4; ++part)
        moveTo(from + CSize(by.cx * part / 4, by.cy * part / 4));
    release();
}

void Tour::dragThumb(int distance) {
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    if (!::GetScrollBarInfo(m_gallery.components().m_hWnd, OBJID_VSCROLL, &bar)) return;
    const int x = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
    const int y = bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
    drag(CPoint(x, y), CSize(0, distance));
}

void Tour::key(WORD vk) {
    tessel::sendKeyInput(vk);
    tessel::sendKeyInput(vk, 0, KEYEVENTF_KEYUP);
}

void Tour::tabInto(HWND window) {
    constexpr int kMostTabs = 16;  // far more than the tab stops before any target
    for (int i = 0; i < kMostTabs; ++i) {
        tessel::testing::pump();
        const HWND focus = ::GetFocus();
        if (focus && (focus == window || ::IsChild(window, focus))) return;
        key(VK_TAB);
    }
}

CPoint Tour::component(unsigned int id) {
    ComponentsHost& host = m_gallery.components();
    return host.screenCentre(host.getComponentByID(id));
}

int Tour::run() {
    std::error_code error;
    std::filesystem::create_directories(m_directory, error);
    if (error) {
        std::fprintf(stderr, "gallery: cannot create %s: %s\n", m_directory.c_str(),
                     error.message().c_str());
        return 1;
    }
    ControlsPane& controls = m_gallery.controls();
    step("start");
    moveTo(component(ComponentsHost::kFirstBlueId));
    step("hover-blue-text-button");
    press();
    step("press-blue-text-button");
    release();
    step("release-blue-text-button-command-611");
    click(component(ComponentsHost::kFirstToggleId));
    step("toggle-selected-command-621");
    moveTo(component(ComponentsHost::kFirstImageId + 1));
    step("hover-image-button");
    press();
    step("press-image-button");
    release();
    step("release-image-button-command-1001");
    moveTo(component(ComponentsHost::kFirstImageId + 2));
    press();
    moveTo(component(ComponentsHost::kFirstImageId + 2) + CSize(0, 160));
    release();
    step("press-leave-release-no-command");
    wheel(-240);
    step("wheel-down-two-lines");
    dragThumb(150);
    step("thumb-dragged-down");
    wheel(120);
    step("wheel-up-one-line");
    dragThumb(-2000);
    step("thumb-dragged-to-the-top");
    click(controls.buttonCentre(ControlsPane::kAddId));
    click(controls.buttonCentre(ControlsPane::kAddId));
    step("added-twelve-components-commands-301");
    click(controls.buttonCentre(ControlsPane::kDisableSharedId));
    step("every-500-disabled-in-both-hosts-command-300");
    click(component(ComponentsHost::kSharedId));
    step("disabled-500-click-sends-nothing");
    click(controls.buttonCentre(ControlsPane::kDisableSharedId));
    step("every-500-enabled-again-command-300");
    click(controls.addedCentre(0));
    step("added-500-click-command-500");
    click(controls.buttonCentre(ControlsPane::kClearId));
    step("added-components-cleared-command-302");
    moveTo(controls.buttonCentre(ControlsPane::kWindowButtonId));
    press();
    step("press-window-button");
    release();
    step("release-window-button-command-310");
    click(controls.buttonCentre(ControlsPane::kBareButtonId));
    step("bare-button-window-command-311");
    drag(m_gallery.middleBarCentre(), CSize(-120, 0));
    step("splitter-bar-dragged-left");
    // The user drags the frame's corner.
    ::SetWindowPos(m_gallery.m_hWnd, nullptr, 0, 0, 1200, 800, SWP_NOMOVE | SWP_NOZORDER);
    step("resized-larger-reflowed");
    ::SetWindowPos(m_gallery.m_hWnd, nullptr, 0, 0, 640, 480, SWP_NOMOVE | SWP_NOZORDER);
    step("resized-smaller-reflowed");
    // The keyboard alone from here on.
    tabInto(m_gallery.components().m_hWnd);
    step("tab-into-the-components-first-button-focused");
    tessel::sendKeyInput(VK_SPACE);
    step("space-down-pressed");
    tessel::sendKeyInput(VK_SPACE, 0, KEYEVENTF_KEYUP);
    step("space-up-command-601");
    key(VK_F6);
    tabInto(controls.button(ControlsPane::kWindowButtonId)->m_hWnd);
    step("f6-then-tab-to-the-window-button");
    key(VK_RETURN);
    step("enter-on-the-window-button-command-310");
    key(VK_F8);
    key(VK_LEFT);
    key(VK_LEFT);
    step("f8-and-arrows-move-the-middle-bar");
    key(VK_RETURN);
    step("enter-keeps-the-bar-focus-back");
    key(VK_F6);
    key(VK_RIGHT);
    key(VK_RIGHT);
    step("f6-to-the-toolbar-arrows-to-diamond");
    key(VK_RETURN);
    step("enter-on-diamond-command-403");
    std::printf("commands received:");
    for (int id : m_gallery.commands())
        std::printf(" %d", id);
    std::printf("\ntour written to %s\n",
                std::filesystem::absolute(m_directory).string().c_str());
    return m_failures == 0 ? 0 : 1;
}
