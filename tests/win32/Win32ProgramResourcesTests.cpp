// What the two built programs carry for Windows, read back from the .exe
// files beside this test: the version resource Explorer and the about box
// show, the manifest (common controls 6, DPI awareness, supported systems,
// no elevation) and the program icon Explorer shows for the file.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "apps/resources/resource.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Wide.h"
#include "pmp/Version.h"

namespace pm::tests {
namespace {

std::wstring BesideThisTest(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  folder.erase(folder.find_last_of(L"\\/") + 1);
  return folder + name;
}

class BuiltProgram : public ::testing::TestWithParam<const wchar_t*> {
 protected:
  std::wstring Path() const { return BesideThisTest(GetParam()); }

  // The module's resources without running it.
  win32::UniqueHmodule LoadResources() const {
    return win32::UniqueHmodule(LoadLibraryExW(
        Path().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  }

  std::string Manifest() const {
    const win32::UniqueHmodule module = LoadResources();
    if (!module) return {};
    const HRSRC found = FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    const HGLOBAL loaded = found ? LoadResource(module.get(), found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return {};
    return std::string(static_cast<const char*>(bytes), SizeofResource(module.get(), found));
  }
};

struct VersionInfo {
  std::vector<BYTE> data;

  explicit VersionInfo(const std::wstring& path) {
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
    data.resize(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, data.data())) data.clear();
  }

  const VS_FIXEDFILEINFO* Fixed() const {
    void* block = nullptr;
    UINT length = 0;
    if (data.empty() || !VerQueryValueW(data.data(), L"\\", &block, &length) ||
        length < sizeof(VS_FIXEDFILEINFO)) {
      return nullptr;
    }
    return static_cast<const VS_FIXEDFILEINFO*>(block);
  }

  // A string of the first translation the resource lists, as Explorer reads it.
  std::wstring String(const wchar_t* name) const {
    struct Translation {
      WORD language;
      WORD codePage;
    };
    void* block = nullptr;
    UINT length = 0;
    if (data.empty() ||
        !VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &block, &length) ||
        length < sizeof(Translation)) {
      return L"(no translation)";
    }
    const auto* translation = static_cast<const Translation*>(block);
    wchar_t path[128];
    swprintf(path, std::size(path), L"\\StringFileInfo\\%04x%04x\\%ls", translation->language,
             translation->codePage, name);
    if (!VerQueryValueW(data.data(), path, &block, &length) || length == 0) return L"(absent)";
    return std::wstring(static_cast<const wchar_t*>(block), length - 1);
  }
};

TEST_P(BuiltProgram, FixedVersionIsTheProjectVersion) {
  const VersionInfo info(Path());
  const VS_FIXEDFILEINFO* fixed = info.Fixed();
  ASSERT_NE(fixed, nullptr) << win32::Narrow(Path()) << " has no version resource";
  EXPECT_EQ(fixed->dwSignature, VS_FFI_SIGNATURE);
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(kVersionMinor, kVersionMajor));
  EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), kVersionPatch);
  EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(kVersionMinor, kVersionMajor));
  EXPECT_EQ(HIWORD(fixed->dwProductVersionLS), kVersionPatch);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_P(BuiltProgram, VersionStringsNameProductMakerAndFile) {
  const VersionInfo info(Path());
  const struct {
    const wchar_t* name;
    std::wstring expected;
  } kStrings[] = {
      {L"FileVersion", win32::Wide(kVersionText)},
      {L"ProductVersion", win32::Wide(kVersionText)},
      {L"ProductName", L"Pelmora Pro"},
      {L"CompanyName", L"Pelmora Software"},
      {L"OriginalFilename", GetParam()},
  };
  for (const auto& string : kStrings) {
    EXPECT_EQ(win32::Narrow(info.String(string.name)), win32::Narrow(string.expected))
        << win32::Narrow(string.name);
  }
  const std::wstring description = info.String(L"FileDescription");
  EXPECT_EQ(description.rfind(L"Pelmora Pro ", 0), 0u) << win32::Narrow(description);
  const std::wstring notice = info.String(L"LegalCopyright");
  EXPECT_NE(notice.find(L"Copyright"), std::wstring::npos) << win32::Narrow(notice);
  EXPECT_NE(notice.find(L"Pelmora Software"), std::wstring::npos) << win32::Narrow(notice);
}

// The attribute `name`="`value`" inside the element that mentions `marker`.
bool ElementHas(const std::string& xml, std::string_view marker, std::string_view attribute) {
  const std::size_t at = xml.find(marker);
  if (at == std::string::npos) return false;
  const std::size_t begin = xml.rfind('<', at);
  const std::size_t end = xml.find('>', at);
  return begin != std::string::npos && end != std::string::npos &&
         xml.substr(begin, end - begin).find(attribute) != std::string::npos;
}

TEST_P(BuiltProgram, ManifestAsksForCommonControls6WithoutElevation) {
  const std::string manifest = Manifest();
  ASSERT_FALSE(manifest.empty()) << win32::Narrow(Path()) << " has no manifest";
  EXPECT_TRUE(ElementHas(manifest, "\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\""))
      << manifest;
  EXPECT_TRUE(ElementHas(manifest, "<requestedExecutionLevel", "level=\"asInvoker\"")) << manifest;
}

TEST_P(BuiltProgram, ManifestIsPerMonitorV2DpiAware) {
  const std::string manifest = Manifest();
  const std::size_t begin = manifest.find("<dpiAwareness");
  ASSERT_NE(begin, std::string::npos) << manifest;
  const std::size_t end = manifest.find("</dpiAwareness>", begin);
  ASSERT_NE(end, std::string::npos) << manifest;
  const std::string value = manifest.substr(manifest.find('>', begin) + 1);
  // The first entry the system knows is the one it takes.
  EXPECT_EQ(value.rfind("PerMonitorV2", 0), 0u) << manifest.substr(begin, end - begin);
  // Older systems read only <dpiAware>: true/pm is per-monitor there.
  EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos) << manifest;
}

TEST_P(BuiltProgram, ManifestSupportsWindows7To11) {
  const std::string manifest = Manifest();
  constexpr const char* kSupportedSystems[] = {
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
  };
  for (const char* id : kSupportedSystems) {
    EXPECT_TRUE(ElementHas(manifest, id, "<supportedOS")) << id;
  }
}

BOOL CALLBACK KeepFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR context) {
  *reinterpret_cast<ULONG_PTR*>(context) =
      IS_INTRESOURCE(name) ? reinterpret_cast<ULONG_PTR>(name) : 0;
  return FALSE;
}

// Explorer, and the Add/Remove Programs entry's "pmpro.exe,0", show the
// first icon group of the file: it must be the program icon.
TEST_P(BuiltProgram, FirstIconIsTheProgramIcon) {
  const win32::UniqueHmodule module = LoadResources();
  ASSERT_TRUE(module) << win32::Narrow(Path());
  ULONG_PTR first = 0;
  EnumResourceNamesW(module.get(), RT_GROUP_ICON, KeepFirstName,
                     reinterpret_cast<LONG_PTR>(&first));
  EXPECT_EQ(first, static_cast<ULONG_PTR>(IDI_PROGRAM));
  const win32::UniqueHicon icon(static_cast<HICON>(
      LoadImageW(module.get(), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 32, 32, 0)));
  EXPECT_TRUE(icon) << "the program icon has no image that loads at 32 x 32";
}

INSTANTIATE_TEST_SUITE_P(Programs, BuiltProgram, ::testing::Values(L"pmpro.exe", L"pmpstart.exe"),
                         [](const ::testing::TestParamInfo<const wchar_t*>& info) {
                           return std::string(info.param == std::wstring_view(L"pmpro.exe")
                                                  ? "pmpro"
                                                  : "pmpstart");
                         });

}  // namespace
}  // namespace pm::tests
