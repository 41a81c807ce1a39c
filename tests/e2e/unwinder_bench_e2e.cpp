// Timing of the uninstaller's removal against a plain loop of DeleteFileW
// over the same files. Disabled in the normal test run;
// scripts/bench-unwinder-removal.sh runs it and prints the ratio.
#include <gtest/gtest.h>

#include <chrono>
#include <algorithm>
#include <cstdio>

#include "tests/e2e/harness.h"

namespace hx::e2e {
namespace {

constexpr int kFolders = 50, kFilesPerFolder = 100;

std::vector<fs::path> MakeTree(const fs::path& root) {
  std::vector<fs::path> files;
  for (int d = 0; d < kFolders; ++d) {
    const fs::path folder = root / "Data" / ("Folder" + std::to_string(d));
    fs::create_directories(folder);
    for (int f = 0; f < kFilesPerFolder; ++f) {
      const fs::path file = folder / ("file" + std::to_string(f) + ".dat");
      HANDLE h = CreateFileW(file.wstring().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      DWORD written = 0;
      WriteFile(h, "0123456789abcdef", 16, &written, nullptr);
      CloseHandle(h);
      files.push_back(file);
    }
  }
  return files;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

TEST(UnwinderBench, DISABLED_RemoveEverythingAgainstAPlainLoop) {
  const fs::path folder = FreshProgramFolder("bench-unwinder");

  // The same files deleted by a plain loop, timed just before and just
  // after the uninstaller so a busy machine shows in both.
  auto plainLoop = [&] {
    const std::vector<fs::path> files = MakeTree(folder.parent_path() / "Plain");
    std::vector<std::wstring> names;
    for (const auto& f : files) names.push_back(f.wstring());
    const auto plainStart = std::chrono::steady_clock::now();
    for (const auto& name : names) DeleteFileW(name.c_str());
    EXPECT_FALSE(fs::exists(files.front()));
    return Seconds(std::chrono::steady_clock::now() - plainStart);
  };
  const double plainBefore = plainLoop();

  const fs::path temp = folder.parent_path() / "Temp";
  fs::create_directories(temp);
  wchar_t saved[MAX_PATH] = {};
  const std::wstring savedTemp(saved, GetEnvironmentVariableW(L"TEMP", saved, MAX_PATH));
  SetEnvironmentVariableW(L"TEMP", temp.wstring().c_str());
  MakeTree(folder);

  // The uninstaller lists the folder itself from a template.
  WriteCp1251(folder / "Resource" / "InstallFiles_Uninstall.ini",
              "ProgramName=Horavex.KT\r\nProgramVers=1.0.1.2k.ru\r\nFormClass=TFormHoravex\r\n");
  {
    Process generate(folder / "Unwinder.KT.exe");
    const MessageBoxInfo box = WaitForMessageBox(generate.id(), 60s);
    ASSERT_NE(box.window, nullptr);
    PressButton(box.window, "OK");
    ASSERT_TRUE(generate.WaitForExit(10s));
  }
  fs::remove(folder / "Resource" / "InstallFiles_Uninstall.ini");

  const fs::path copy = temp / "Unwinder.KT.exe";
  fs::copy_file(folder / "Unwinder.KT.exe", copy, fs::copy_options::overwrite_existing);
  WriteCp1251(folder / "Settings" / "UILangSettings.ini", "Language=Russian\r\n");
  Process p(copy, L"\"" + folder.wstring() + L"\"");
  HWND window = WaitForWindow(L"KT.API.Form", p.id(), 20s);
  ASSERT_NE(window, nullptr);
  PostMessageW(GetDlgItem(window, 1030), BM_CLICK, 0, 0);
  const MessageBoxInfo confirm = WaitForMessageBox(p.id());
  ASSERT_NE(confirm.window, nullptr);
  PressButton(confirm.window, "Yes");
  // The removal begins when the confirmation has gone.
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(confirm.window); }, 20s));
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(window, 1031)) != FALSE; }, 600s));
  const double removal = Seconds(std::chrono::steady_clock::now() - start);
  EXPECT_FALSE(fs::exists(folder / "Data"));
  PostMessageW(GetDlgItem(window, 1031), BM_CLICK, 0, 0);
  EXPECT_TRUE(p.WaitForExit(20s));

  SetEnvironmentVariableW(L"TEMP", savedTemp.empty() ? nullptr : savedTemp.c_str());
  const double plainAfter = plainLoop();
  const double plain = (plainBefore + plainAfter) / 2;
  std::printf("plain loop before %.3f s, after %.3f s\n", plainBefore, plainAfter);
  std::printf("removal of %d files in %d folders: uninstaller %.3f s, plain loop (mean) %.3f s, ratio %.2f\n",
              kFolders * kFilesPerFolder, kFolders, removal, plain, removal / plain);
}

}  // namespace hx::e2e
