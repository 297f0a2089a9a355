// The gallery for the accessibility tests, headless: one command per line on
// stdin, read through the message loop's wait, each answered on stdout by its
// lines and "ok", or by "error <why>"; what the gallery prints goes to stderr.
// Commands: rects ("w<hwnd> x y cx cy" per window depth first from the frame,
// each followed by "c<id> x y cx cy" per component in layout order; screen
// coordinates), key <tab|shift+tab|space|return|escape|down|up> (SendInput),
// wheel w<hwnd> <delta> (at the window's centre), disable|enable <id>
// (every component with that command id), commands (those received), quit.
// Two captions carry a mnemonic, so names show whether the '&' is taken out.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

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

void listWindow(HWND window, std::ostringstream& out) {
    const auto line = [&](char kind, std::uint64_t id, const CRect& r) {
        out << kind << id << ' ' << r.left << ' ' << r.top << ' ' << r.Width() << ' ' << r.Height()
            << '\n';
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
bool run(GalleryWnd& gallery, const std::string& line, std::ostringstream& out) {
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
        CRect place;
        ::GetWindowRect(reinterpret_cast<HWND>(handle), &place);
        ::SetCursorPos(place.CenterPoint().x, place.CenterPoint().y);
        tessel::sendMouseInput(MOUSEEVENTF_WHEEL, number);
    } else if ((verb == "disable" || verb == "enable") && in >> number) {
        verb == "disable" ? YBComponent::disableAllWithID(number, true)
                          : YBComponent::enableAllWithID(number, true, true);
    } else if (verb == "commands") {
        for (const int command : gallery.commands())
            out << command << ' ';
        out << '\n';
    } else {
        return false;
    }
    tessel::testing::pump();
    return true;
}

// A blocking pipe takes it all or breaks.
bool say(int fd, const std::string& text) {
    return ::write(fd, text.data(), text.size()) == ssize_t(text.size());
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

    // A byte at a time, so what is not read yet keeps the descriptor readable.
    tessel::WaitSourceId input = 0;
    input = tessel::watchDescriptor(STDIN_FILENO, POLLIN, [&](short) {
        std::string line;
        std::ostringstream out;
        char next = 0;
        while (::read(STDIN_FILENO, &next, 1) == 1 && next != '\n')
            line += next;
        if (next == '\n' && line != "quit" &&
            say(answerFd, run(gallery, line, out) ? out.str() + "ok\n"
                                                  : "error unknown command or argument\n"))
            return;
        say(answerFd, "ok\n");
        tessel::unwatchDescriptor(input);
        gallery.SendMessage(WM_CLOSE);
    });
    if (!input) return 1;
    while (AfxPumpMessage()) {
    }
    return 0;
}
