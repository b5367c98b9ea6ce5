// Reads the version resource linked into this program back from its own file
// and checks every value Zarn.exe carries, then the application icon's images.
// Exit code 0 when all match.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_info.h"

namespace {

int checks = 0;
int failures = 0;

void Expect(bool ok, const char* what) {
  ++checks;
  if (!ok) {
    std::printf("FAILED: %s\n", what);
    ++failures;
  }
}

std::string StringValue(const std::vector<char>& data, const char* name) {
  const std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
  char* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || length == 0) {
    return "<missing>";
  }
  return std::string(value);
}

// The application icon holds an image of each size Windows asks for (the
// 256-pixel one as PNG), and the system makes an icon of that size from it.
void CheckIconSizes() {
  const HMODULE self = GetModuleHandleA(nullptr);
  const HRSRC group = FindResourceA(self, MAKEINTRESOURCEA(1), RT_GROUP_ICON);
  Expect(group != nullptr, "the application icon");
  if (group == nullptr) return;
  auto* directory = static_cast<BYTE*>(LockResource(LoadResource(self, group)));
  for (const int size : {16, 32, 48, 256}) {
    const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    const HRSRC image = FindResourceA(self, MAKEINTRESOURCEA(id), RT_ICON);
    HICON icon = nullptr;
    if (image != nullptr) {
      icon = CreateIconFromResourceEx(static_cast<BYTE*>(LockResource(LoadResource(self, image))),
                                      SizeofResource(self, image), TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
    }
    ICONINFO info{};
    BITMAP bitmap{};
    if (icon != nullptr && GetIconInfo(icon, &info)) {
      GetObjectA(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
      if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
    }
    if (icon != nullptr) DestroyIcon(icon);
    std::printf("icon image for %d pixels: %ldx%ld\n", size, bitmap.bmWidth, bitmap.bmHeight);
    Expect(bitmap.bmWidth == size && bitmap.bmHeight == size, "an icon image of each size");
  }
}

}  // namespace

int main() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  Expect(size > 0, "the program has a version resource");
  if (size == 0) return 1;
  std::vector<char> data(size);
  Expect(GetFileVersionInfoA(path, 0, size, data.data()) != 0, "the version resource can be read");

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedLength = 0;
  Expect(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedLength) && fixed != nullptr,
         "fixed file information");
  if (fixed != nullptr) {
    using namespace zarn::app;
    const DWORD high = MAKELONG(kVersionMinor, kVersionMajor);
    const DWORD low = MAKELONG(0, kVersionRevision);
    Expect(fixed->dwFileVersionMS == high && fixed->dwFileVersionLS == low, "file version");
    Expect(fixed->dwProductVersionMS == high && fixed->dwProductVersionLS == low, "product version");
  }

  const std::string program = std::string(zarn::app::kTitle) + ".exe";
  struct {
    const char* name;
    const char* expected;
  } const strings[] = {{"FileVersion", zarn::app::kVersionResourceText},
                       {"ProductVersion", zarn::app::kVersionResourceText},
                       {"ProductName", zarn::app::kTitle},
                       {"InternalName", zarn::app::kTitle},
                       {"OriginalFilename", program.c_str()}};
  for (const auto& s : strings) {
    const std::string value = StringValue(data, s.name);
    std::printf("%s = %s\n", s.name, value.c_str());
    Expect(value == s.expected, s.name);
  }

  WORD* translation = nullptr;
  UINT translationLength = 0;
  Expect(VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &translationLength) &&
             translationLength >= 4 && translation[0] == 0x0409 && translation[1] == 1200,
         "U.S. English with the Unicode code page");
  CheckIconSizes();
  std::printf("%d passed, %d failed\n", checks - failures, failures);
  return failures == 0 ? 0 : 1;
}
