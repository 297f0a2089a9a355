// The gallery for the accessibility tests: headless, one command per line on
// stdin, read through the message loop's wait as the toolkit's own bus
// connection is; each is answered on stdout by lines ending in "ok" or
// "error <why>". What the gallery prints itself goes to stderr.
//
// clang-format off
//   rects                  "w<hwnd> x y cx cy" per window, depth first from the frame, each
//                          followed by "c<id> x y cx cy" per component it hosts, in layout
//                          order; screen coordinates
//   key <name>             tab, shift+tab, space, return, escape, down or up, through SendInput
//   wheel <w-id> <delta>   the pointer to the window's client centre, then one wheel turn
//   disable <id>           every component with that command id, in whichever host
//   enable <id>
//   commands               the command ids the gallery received, in order, on one line
//   quit
// clang-format on
//
// Two captions carry a mnemonic ("&Window button (310)", "&Grey 601"), so the
// names a client reads show whether the '&' is taken out.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>

#include <tessel/components/YBTextButton.h>
#include <tessel/platform/afx_app.h>
#include <tessel/platform/wait_sources.h>
#include <tessel/windows/YBTextButtonWnd.h>

#include "GalleryWnd.h"
#include "key_strokes.h"

namespace {

void listWindow(HWND window, std::string& out) {
    const auto line = [&](char kind, std::uint64_t id, const CRect& r) {
        for (const auto& part :
             {kind + std::to_string(id), std::to_string(r.left), std::to_string(r.top),
              std::to_string(r.Width()), std::to_string(r.Height())})
            out += part + " ";
        out.back() = '\n';
    };
    CRect screen;
    ::GetWindowRect(window, &screen);
    line('w', reinterpret_cast<std::uintptr_t>(window), screen);
    if (auto* host = dynamic_cast<YBComponentWnd*>(CWnd::FromHandlePermanent(window))) {
        for (int i = 0; i < host->getComponentCount(); ++i) {
            CRect rect = host->getComponent(i)->rect();
            host->ClientToScreen(&rect);
            line('c', host->getComponent(i)->accessibleId(), rect);
        }
    }
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        listWindow(child, out);
}

// False for an unknown command or argument.
bool run(GalleryWnd& gallery, const std::string& line, std::string& out) {
    static const std::map<std::string, WORD> keys = {{"tab", VK_TAB},       {"space", VK_SPACE},
                                                     {"return", VK_RETURN}, {"escape", VK_ESCAPE},
                                                     {"down", VK_DOWN},     {"up", VK_UP}};
    std::istringstream in(line);
    std::string verb, key;
    char w = 0;
    std::uintptr_t handle = 0;
    int number = 0;
    in >> verb;
    if (verb == "rects") {
        listWindow(gallery.m_hWnd, out);
    } else if (verb == "key" && in >> key && key == "shift+tab") {
        test_support::shiftTab();
    } else if (verb == "key" && keys.contains(key)) {
        test_support::tapKey(keys.at(key));
    } else if (verb == "wheel" && in >> w >> handle >> number && w == 'w' &&
               ::IsWindow(reinterpret_cast<HWND>(handle))) {
        const HWND target = reinterpret_cast<HWND>(handle);
        CRect client;
        ::GetClientRect(target, &client);
        POINT centre = client.CenterPoint();
        ::ClientToScreen(target, &centre);
        ::SetCursorPos(centre.x, centre.y);
        tessel::sendMouseInput(MOUSEEVENTF_WHEEL, number);
    } else if ((verb == "disable" || verb == "enable") && in >> number) {
        verb == "disable" ? YBComponent::disableAllWithID(number, true)
                          : YBComponent::enableAllWithID(number, true, true);
    } else if (verb == "commands") {
        for (const int command : gallery.commands())
            out += std::to_string(command) + " ";
        out += "\n";
    } else {
        return false;
    }
    tessel::testing::pump();
    return true;
}

bool say(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote <= 0 && errno != EINTR) return false;
        done += wrote > 0 ? static_cast<size_t>(wrote) : 0;
    }
    return true;
}

}  // namespace

int main() {
    // Answers keep the real stdout to themselves; the gallery's own lines go to stderr.
    const int answerFd = ::dup(STDOUT_FILENO);
    if (answerFd < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) return 1;
    ::signal(SIGPIPE, SIG_IGN);  // a test that went away ends the driver through a failed write

    GalleryWnd gallery(GALLERY_ICON_DIR);
    if (!gallery.createAt(0, 0, nullptr)) return 1;
    gallery.SetFocus();
    if (auto* button = dynamic_cast<YBTextButtonWnd*>(
            gallery.controls().button(ControlsPane::kWindowButtonId)))
        button->setText(L"&Window button (310)");
    if (auto* grey = dynamic_cast<YBTextButton*>(
            gallery.components().getComponentByID(ComponentsHost::kFirstGreyId)))
        grey->setText(L"&Grey 601");

    std::string pending;  // a command's first part, until its newline comes
    const auto readInput = [&] {
        char buffer[1024];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0) return errno == EINTR || errno == EAGAIN;
        pending.append(buffer, static_cast<size_t>(got));
        for (size_t newline; (newline = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, newline);
            pending.erase(0, newline + 1);
            if (line == "quit") return say(answerFd, "ok\n") && false;
            std::string out;
            const bool done = run(gallery, line, out);
            if (!say(answerFd, done ? out + "ok\n" : "error unknown command or argument\n"))
                return false;
        }
        return got > 0 && pending.size() <= 4096;  // no line is that long
    };
    tessel::WaitSourceId input = 0;
    input = tessel::watchDescriptor(STDIN_FILENO, POLLIN, [&](short) {
        if (readInput()) return;
        tessel::unwatchDescriptor(input);
        gallery.SendMessage(WM_CLOSE);
    });
    if (!input) return 1;
    while (AfxPumpMessage()) {
    }
    return 0;
}
