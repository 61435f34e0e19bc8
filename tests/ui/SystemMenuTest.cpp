// The About item of the window's system menu, which only Windows has. It needs the windows
// platform (scripts/test-windows.sh runs it so under Wine on a virtual display); on the
// offscreen platform a window has no system menu and the test is skipped.
#ifdef _WIN32

#include <string>

#include <QGuiApplication>

#include "MainWindowTestFixture.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace tw::test {
namespace {

using SystemMenuTest = MainWindowTest;

TEST_F(SystemMenuTest, AboutItemOpensTheAboutBox) {
    if (QGuiApplication::platformName() != QStringLiteral("windows"))
        GTEST_SKIP() << "the system menu needs the windows platform, not " << QGuiApplication::platformName().toStdString();
    int abouts = 0;
    MainWindow::Dialogs dialogs;
    dialogs.about = [&abouts](QWidget*) { ++abouts; };
    window->SetDialogs(dialogs);

    const auto hwnd = reinterpret_cast<HWND>(window->winId());
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    ASSERT_NE(menu, nullptr);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    // The last item, after a separator.
    wchar_t text[64] = {};
    ASSERT_GT(GetMenuStringW(menu, static_cast<UINT>(count - 1), text, 64, MF_BYPOSITION), 0);
    EXPECT_EQ(std::wstring(text), L"&About Trackwright 2.1...");
    EXPECT_TRUE(GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR);
    const UINT command = GetMenuItemID(menu, count - 1);

    // The system sends the item's command with its own use of the low four bits.
    SendMessageW(hwnd, WM_SYSCOMMAND, command, 0);
    SendMessageW(hwnd, WM_SYSCOMMAND, command | 0x2, 0);
    EXPECT_EQ(abouts, 2);
    // The next command number is not the item's.
    SendMessageW(hwnd, WM_SYSCOMMAND, command + 0x10, 0);
    EXPECT_EQ(abouts, 2);
}

}  // namespace
}  // namespace tw::test

#endif
