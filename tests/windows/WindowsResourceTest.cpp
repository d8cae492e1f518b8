#include "core/ProgramVersion.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace velka {
namespace {

// This test program carries the resources the Windows program is given.
std::vector<char> ownVersionInfo()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return {};
    DWORD unused = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &unused);
    std::vector<char> info(size);
    if (size == 0 || !GetFileVersionInfoW(path, 0, size, info.data()))
        return {};
    return info;
}

TEST(WindowsResources, CarryTheVersionThatTheVersionWindowShows)
{
    const std::vector<char> info = ownVersionInfo();
    ASSERT_FALSE(info.empty());

    void* value = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", &value, &size));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), kProgramVersion.major);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), kProgramVersion.minor);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), 0);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionLS), kProgramVersion.revision);

    char expected[32];
    std::snprintf(expected, sizeof expected, "%d.%d.%04d", kProgramVersion.major,
                  kProgramVersion.minor, kProgramVersion.revision);
    ASSERT_TRUE(
        VerQueryValueW(info.data(), L"\\StringFileInfo\\041104B0\\FileVersion", &value, &size));
    const std::wstring text(static_cast<const wchar_t*>(value));
    EXPECT_EQ(text, std::wstring(expected, expected + std::char_traits<char>::length(expected)));
}

TEST(WindowsResources, CarryTheIconInItsSmallAndLargeSizes)
{
    for (const int side : {16, 32, 48, 256}) {
        const auto icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, side, side, 0));
        ASSERT_NE(icon, nullptr) << side;
        ICONINFO parts{};
        ASSERT_TRUE(GetIconInfo(icon, &parts)) << side;
        BITMAP colour{};
        GetObjectW(parts.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, side);
        DeleteObject(parts.hbmColor);
        DeleteObject(parts.hbmMask);
        DestroyIcon(icon);
    }
}

} // namespace
} // namespace velka
