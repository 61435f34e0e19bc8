#include "ui/SystemMenu.h"

#include <QWidget>

// Only the window and menu calls are needed.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include "util/Win32.h"

namespace tw {

#ifdef _WIN32
namespace {

// Commands of our own in the system menu must be below 0xF000 and have the low four bits clear.
constexpr UINT AboutSystemCommand = 0x0010;

}  // namespace

void AddAboutToSystemMenu(QWidget& window) {
    HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(window.winId()), FALSE);
    if (menu == nullptr) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, AboutSystemCommand, L"&About Trackwright 2.1...");
}

bool IsAboutFromSystemMenu(const QByteArray& eventType, const void* message) {
    if (eventType != "windows_generic_MSG") return false;
    const MSG* msg = static_cast<const MSG*>(message);
    return msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == AboutSystemCommand;
}
#else
void AddAboutToSystemMenu(QWidget&) {}

bool IsAboutFromSystemMenu(const QByteArray&, const void*) { return false; }
#endif

}  // namespace tw
