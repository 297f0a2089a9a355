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
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include <tessel/components/YBTextButton.h>
#include <tessel/platform/afx_app.h>
#include <tessel/platform/wait_sources.h>
#include <tessel/windows/YBTextButtonWnd.h>

#include "GalleryWnd.h"
#include "key_strokes.h"

namespace {

template <typename Number>
std::optional<Number> numberOf(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
    return value;
}

void rectLine(std::string& out, char kind, std::uint64_t id, const CRect& r) {
    out += kind + std::to_string(id) + " " + std::to_string(r.left) + " " + std::to_string(r.top) +
           " " + std::to_string(r.Width()) + " " + std::to_string(r.Height()) + "\n";
}

void listWindow(HWND window, std::string& out) {
    CRect screen;
    ::GetWindowRect(window, &screen);
    rectLine(out, 'w', reinterpret_cast<std::uintptr_t>(window), screen);
    if (auto* host = dynamic_cast<YBComponentWnd*>(CWnd::FromHandlePermanent(window))) {
        for (int i = 0; i < host->getComponentCount(); ++i) {
            CRect rect = host->getComponent(i)->rect();
            host->ClientToScreen(&rect);
            rectLine(out, 'c', host->getComponent(i)->accessibleId(), rect);
        }
    }
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        listWindow(child, out);
}

std::optional<std::string> strike(std::string_view name) {
    static const std::map<std::string_view, WORD> keys = {
        {"tab", VK_TAB},       {"space", VK_SPACE}, {"return", VK_RETURN},
        {"escape", VK_ESCAPE}, {"down", VK_DOWN},   {"up", VK_UP}};
    if (name == "shift+tab") {
        test_support::shiftTab();
    } else if (const auto key = keys.find(name); key != keys.end()) {
        test_support::tapKey(key->second);
    } else {
        return "unknown key";
    }
    return std::nullopt;
}

std::optional<std::string> wheel(std::string_view arguments) {
    const size_t space = arguments.find(' ');
    if (space == std::string_view::npos || !arguments.starts_with('w'))
        return "wheel w<id> <delta>";
    const auto handle = numberOf<std::uintptr_t>(arguments.substr(1, space - 1));
    // The delta travels as a signed 16-bit word.
    const auto delta = numberOf<SHORT>(arguments.substr(space + 1));
    HWND target = handle ? reinterpret_cast<HWND>(*handle) : nullptr;
    if (!delta || !target || !::IsWindow(target)) return "bad window or delta";
    CRect client;
    ::GetClientRect(target, &client);
    POINT centre{client.Width() / 2, client.Height() / 2};
    ::ClientToScreen(target, &centre);
    ::SetCursorPos(centre.x, centre.y);
    tessel::sendMouseInput(MOUSEEVENTF_WHEEL, *delta);
    tessel::testing::pump();
    return std::nullopt;
}

// The command's lines in `out`, or why it failed.
std::optional<std::string> run(GalleryWnd& gallery, std::string_view line, std::string& out) {
    const size_t space = line.find(' ');
    const std::string_view verb = line.substr(0, space);
    const std::string_view rest = space == std::string_view::npos ? "" : line.substr(space + 1);
    if (verb == "rects") {
        listWindow(gallery.m_hWnd, out);
    } else if (verb == "key") {
        return strike(rest);
    } else if (verb == "wheel") {
        return wheel(rest);
    } else if (verb == "disable" || verb == "enable") {
        const std::optional<int> id = numberOf<int>(rest);
        if (!id) return "no command id";
        if (verb == "disable")
            YBComponent::disableAllWithID(*id, true);
        else
            YBComponent::enableAllWithID(*id, true, true);
        tessel::testing::pump();
    } else if (verb == "commands") {
        for (const int id : gallery.commands())
            out += std::to_string(id) + " ";
        out += "\n";
    } else {
        return "unknown command";
    }
    return std::nullopt;
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
            if (line == "quit") {
                say(answerFd, "ok\n");
                return false;
            }
            std::string out;
            const std::optional<std::string> error = run(gallery, line, out);
            if (!say(answerFd, error ? "error " + *error + "\n" : out + "ok\n")) return false;
        }
        if (pending.size() > 4096) return false;  // no line is that long
        return got > 0;
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
