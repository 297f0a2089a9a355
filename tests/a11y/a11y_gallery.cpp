// The gallery for the accessibility tests: headless, one command per line on
// stdin, read through the message loop's wait as the toolkit's own bus
// connection is; every command is answered on stdout by lines that end in
// "ok" or "error <why>". What the gallery prints itself goes to stderr.
//
// clang-format off
//   rects                  "w<hwnd> x y cx cy" per window, depth first from the frame, each
//                          followed by "c<id> x y cx cy" per component it hosts, in layout
//                          order; screen coordinates
//   key <name>             tab, shift+tab, space, return, escape, down or up, struck through SendInput
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

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
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

constexpr size_t kLongestLine = 4096;  // a longer line is refused, not buffered without end

template <typename Number>
std::optional<Number> numberOf(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::string rectLine(char kind, std::uint64_t id, const CRect& screen) {
    return kind + std::to_string(id) + " " + std::to_string(screen.left) + " " +
           std::to_string(screen.top) + " " + std::to_string(screen.Width()) + " " +
           std::to_string(screen.Height()) + "\n";
}

void listWindow(HWND window, std::string& out) {
    CRect screen;
    ::GetWindowRect(window, &screen);
    out += rectLine('w', reinterpret_cast<std::uintptr_t>(window), screen);
    if (auto* host = dynamic_cast<YBComponentWnd*>(CWnd::FromHandlePermanent(window))) {
        for (int i = 0; i < host->getComponentCount(); ++i) {
            const YBComponent* component = host->getComponent(i);
            CRect rect = component->rect();
            host->ClientToScreen(&rect);
            out += rectLine('c', component->accessibleId(), rect);
        }
    }
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        listWindow(child, out);
}

class Driver {
public:
    Driver(GalleryWnd& gallery, int answerFd) : m_gallery(gallery), m_answerFd(answerFd) {}

    // Reads what stdin has; false once it is closed.
    bool readInput() {
        char buffer[1024];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0) return errno == EINTR || errno == EAGAIN;
        if (got == 0) return false;
        m_pending.append(buffer, static_cast<size_t>(got));
        size_t newline;
        while ((newline = m_pending.find('\n')) != std::string::npos) {
            const std::string line = m_pending.substr(0, newline);
            m_pending.erase(0, newline + 1);
            if (!answer(line)) return false;
        }
        if (m_pending.size() > kLongestLine) {
            m_pending.clear();
            return say("error line too long\n");
        }
        return true;
    }

private:
    // False when the answer cannot be written or the command was quit.
    bool answer(std::string_view line) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const size_t space = line.find(' ');
        const std::string_view verb = line.substr(0, space);
        const std::string_view rest =
            space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
        if (verb == "quit") {
            say("ok\n");
            return false;
        }
        std::string out;
        const std::optional<std::string> error = run(verb, rest, out);
        return say(error ? "error " + *error + "\n" : out + "ok\n");
    }

    // The command's output lines in `out`, or why it failed.
    std::optional<std::string> run(std::string_view verb, std::string_view rest, std::string& out) {
        if (verb == "rects") {
            listWindow(m_gallery.m_hWnd, out);
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
            for (const int id : m_gallery.commands()) {
                if (!out.empty()) out += ' ';
                out += std::to_string(id);
            }
            out += "\n";
        } else {
            return "unknown command";
        }
        return std::nullopt;
    }

    static std::optional<std::string> strike(std::string_view name) {
        static const std::map<std::string_view, std::function<void()>> keys = {
            {"tab", [] { test_support::tapKey(VK_TAB); }},
            {"shift+tab", [] { test_support::shiftTab(); }},
            {"space", [] { test_support::tapKey(VK_SPACE); }},
            {"return", [] { test_support::tapKey(VK_RETURN); }},
            {"escape", [] { test_support::tapKey(VK_ESCAPE); }},
            {"down", [] { test_support::tapKey(VK_DOWN); }},
            {"up", [] { test_support::tapKey(VK_UP); }},
        };
        const auto key = keys.find(name);
        if (key == keys.end()) return "unknown key";
        key->second();
        return std::nullopt;
    }

    static std::optional<std::string> wheel(std::string_view arguments) {
        const size_t space = arguments.find(' ');
        if (space == std::string_view::npos) return "wheel needs a window and a delta";
        std::string_view window = arguments.substr(0, space);
        if (window.starts_with('w')) window.remove_prefix(1);
        const std::optional<std::uintptr_t> handle = numberOf<std::uintptr_t>(window);
        // The wheel's delta travels as a signed 16-bit word.
        const std::optional<int> delta = numberOf<int>(arguments.substr(space + 1));
        if (!delta || *delta < std::numeric_limits<SHORT>::min() ||
            *delta > std::numeric_limits<SHORT>::max())
            return "bad delta";
        HWND target = handle ? reinterpret_cast<HWND>(*handle) : nullptr;
        if (!target || !::IsWindow(target)) return "no such window";
        CRect client;
        ::GetClientRect(target, &client);
        POINT centre{client.left + client.Width() / 2, client.top + client.Height() / 2};
        ::ClientToScreen(target, &centre);
        ::SetCursorPos(centre.x, centre.y);
        tessel::sendMouseInput(MOUSEEVENTF_WHEEL, *delta);
        tessel::testing::pump();
        return std::nullopt;
    }

    bool say(const std::string& text) {
        for (size_t done = 0; done < text.size();) {
            const ssize_t wrote = ::write(m_answerFd, text.data() + done, text.size() - done);
            if (wrote < 0 && errno == EINTR) continue;
            if (wrote <= 0) return false;
            done += static_cast<size_t>(wrote);
        }
        return true;
    }

    GalleryWnd& m_gallery;
    int m_answerFd;
    std::string m_pending;  // a command's first part, until its newline comes
};

void giveMnemonics(GalleryWnd& gallery) {
    if (auto* button = dynamic_cast<YBTextButtonWnd*>(
            gallery.controls().button(ControlsPane::kWindowButtonId))) {
        button->setText(L"&Window button (310)");
        button->Invalidate();
    }
    if (auto* grey = dynamic_cast<YBTextButton*>(
            gallery.components().getComponentByID(ComponentsHost::kFirstGreyId)))
        grey->setText(L"&Grey 601");
}

}  // namespace

int main() {
    // Answers keep the real stdout to themselves; the gallery's own lines go to stderr.
    const int answerFd = ::dup(STDOUT_FILENO);
    if (answerFd < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) return 1;
    ::signal(SIGPIPE, SIG_IGN);  // a test that went away ends the driver through a failed write

    GalleryWnd gallery(GALLERY_ICON_DIR);
    if (!gallery.createAt(0, 0, nullptr)) {
        std::fprintf(stderr, "a11y_gallery: the main window could not be created\n");
        return 1;
    }
    gallery.SetFocus();
    giveMnemonics(gallery);

    Driver driver(gallery, answerFd);
    tessel::WaitSourceId input = 0;
    input = tessel::watchDescriptor(STDIN_FILENO, POLLIN, [&](short) {
        if (driver.readInput()) return;
        tessel::unwatchDescriptor(input);
        gallery.SendMessage(WM_CLOSE);
    });
    if (!input) return 1;
    while (AfxPumpMessage()) {
    }
    return 0;
}
