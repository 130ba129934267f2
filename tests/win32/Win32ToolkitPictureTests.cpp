// The Windows toolkit under Wine: picture files and built-in pictures, the
// program's folder and version, message boxes, and no GDI object left
// behind by a form.
#include <windows.h>

#include <wincodec.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/win32/GdiGuards.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Icons.h"
#include "win32/Win32ToolkitRig.h"

namespace pm::tests {
namespace {

std::string TempFolder() {
  wchar_t path[MAX_PATH];
  GetTempPathW(MAX_PATH, path);
  return win32::Narrow(path);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  const HANDLE raw = CreateFileW(win32::Wide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(raw, INVALID_HANDLE_VALUE) << path;
  const win32::UniqueKernelHandle file(raw);
  DWORD written = 0;
  ASSERT_TRUE(
      WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

void Put16(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}
void Put32(std::string& out, unsigned value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// A 24-bit BMP with every pixel present.
std::string Bmp(int width, int height) {
  const unsigned stride = (static_cast<unsigned>(width) * 3 + 3) & ~3u;
  const unsigned pixels = stride * static_cast<unsigned>(height);
  std::string b = "BM";
  Put32(b, 54 + pixels);
  Put32(b, 0);
  Put32(b, 54);
  Put32(b, 40);
  Put32(b, static_cast<unsigned>(width));
  Put32(b, static_cast<unsigned>(height));
  Put16(b, 1);
  Put16(b, 24);
  for (int i = 0; i < 6; ++i) Put32(b, 0);
  b.append(pixels, '\x40');
  return b;
}

// A two-colour GIF. Its LZW codes stay 3 bits wide: a clear code before
// every two pixels keeps the code table from growing.
std::string Gif(int width, int height) {
  std::string g = "GIF89a";
  Put16(g, static_cast<unsigned>(width));
  Put16(g, static_cast<unsigned>(height));
  g += '\x80';  // a global colour table of two entries
  g += '\0';
  g += '\0';
  g.append("\x00\x00\x00\xFF\xFF\xFF", 6);
  g += ',';
  Put16(g, 0);
  Put16(g, 0);
  Put16(g, static_cast<unsigned>(width));
  Put16(g, static_cast<unsigned>(height));
  g += '\0';
  g += '\x02';  // minimum code size
  std::vector<int> codes;
  for (int left = width * height; left > 0; left -= 2) {
    codes.push_back(4);
    codes.push_back(0);
    if (left > 1) codes.push_back(0);
  }
  codes.push_back(5);
  std::string data;
  unsigned bits = 0;
  int count = 0;
  for (int code : codes) {
    bits |= static_cast<unsigned>(code) << count;
    count += 3;
    while (count >= 8) {
      data += static_cast<char>(bits & 0xFF);
      bits >>= 8;
      count -= 8;
    }
  }
  if (count > 0) data += static_cast<char>(bits & 0xFF);
  for (std::size_t at = 0; at < data.size(); at += 255) {
    const std::string block = data.substr(at, 255);
    g += static_cast<char>(block.size());
    g += block;
  }
  g += '\0';
  g += ';';
  return g;
}

// PNG and JPEG files written by WIC's own encoders.
bool EncodeWithWic(const std::string& path, const GUID& container, UINT width, UINT height) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IWICImagingFactory* factory = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(&factory)))) {
    return false;
  }
  IWICStream* stream = nullptr;
  IWICBitmapEncoder* encoder = nullptr;
  IWICBitmapFrameEncode* frame = nullptr;
  IPropertyBag2* options = nullptr;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  std::vector<BYTE> pixels(static_cast<std::size_t>(width) * height * 3, 0x80);
  const bool ok =
      SUCCEEDED(factory->CreateStream(&stream)) &&
      SUCCEEDED(stream->InitializeFromFilename(win32::Wide(path).c_str(), GENERIC_WRITE)) &&
      SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)) &&
      SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
      SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) &&
      SUCCEEDED(frame->Initialize(options)) && SUCCEEDED(frame->SetSize(width, height)) &&
      SUCCEEDED(frame->SetPixelFormat(&format)) &&
      IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
      SUCCEEDED(
          frame->WritePixels(height, width * 3, static_cast<UINT>(pixels.size()), pixels.data())) &&
      SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
  for (IUnknown* p : std::initializer_list<IUnknown*>{options, frame, encoder, stream, factory}) {
    if (p) p->Release();
  }
  return ok;
}

struct PictureFile {
  const char* name;
  int width;
  int height;
  bool loads;
};

class PictureFiles : public ::testing::TestWithParam<PictureFile> {};

TEST_P(PictureFiles, APictureFileLoadsWithItsSizeOrNotAtAll) {
  const PictureFile& c = GetParam();
  const std::string name = c.name;
  const std::string path = TempFolder() + "pmp-picture-" + name;
  if (name.ends_with(".bmp")) {
    WriteBytes(path, Bmp(c.width, c.height));
  } else if (name.ends_with(".gif")) {
    WriteBytes(path, Gif(c.width, c.height));
  } else if (name.ends_with(".png")) {
    ASSERT_TRUE(EncodeWithWic(path, GUID_ContainerFormatPng, c.width, c.height));
  } else if (name.ends_with(".jpg")) {
    ASSERT_TRUE(EncodeWithWic(path, GUID_ContainerFormatJpeg, c.width, c.height));
  }
  const platform::PicturePtr picture = TheToolkit().LoadPicture(path);
  DeleteFileW(win32::Wide(path).c_str());
  ASSERT_EQ(picture != nullptr, c.loads);
  if (picture) {
    EXPECT_EQ(picture->Width(), c.width);
    EXPECT_EQ(picture->Height(), c.height);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PictureFiles,
    ::testing::Values(PictureFile{"small.bmp", 37, 21, true}, PictureFile{"small.gif", 13, 9, true},
                      PictureFile{"small.png", 40, 30, true},
                      PictureFile{"small.jpg", 64, 48, true},
                      // The largest side a picture may have, and one pixel more.
                      PictureFile{"widest.bmp", 16384, 1, true},
                      PictureFile{"toowide.bmp", 16385, 1, false},
                      PictureFile{"tootall.bmp", 1, 16385, false}),
    [](const auto& info) {
      std::string name = info.param.name;
      name[name.find('.')] = '_';
      return name;
    });

class NoPicture : public ::testing::TestWithParam<const char*> {};

TEST_P(NoPicture, AMissingOrFakePictureGivesNull) {
  const std::string_view kind = GetParam();
  std::string path = TempFolder() + "pmp-nopicture";
  if (kind == "missing") {
    path += "-missing.jpg";
  } else if (kind == "text") {
    path += ".jpg";
    WriteBytes(path, "this is not a picture\r\n");
  } else if (kind == "truncated") {
    path += ".bmp";
    WriteBytes(path, Bmp(20, 20).substr(0, 20));
  } else if (kind == "folder") {
    CreateDirectoryW(win32::Wide(path).c_str(), nullptr);
  } else {
    path.clear();
  }
  EXPECT_EQ(TheToolkit().LoadPicture(path), nullptr);
  DeleteFileW(win32::Wide(path).c_str());
  RemoveDirectoryW(win32::Wide(path).c_str());
}

INSTANTIATE_TEST_SUITE_P(Files, NoPicture,
                         ::testing::Values("missing", "text", "truncated", "folder", "empty"));

// Files a registry value may name for the prompt, made to be awkward: each
// gives no picture (so the prompt keeps its built-in one) or the picture it
// really is, at once and without a crash. The 60000 x 60000 BMP is refused
// from its header: decoders such as Wine's would ask for its pixel memory
// as soon as they open it.
struct HostileFile {
  const char* name;
  int width;  // 0: no picture
  int height;
};

class HostilePictureFiles : public ::testing::TestWithParam<HostileFile> {};

TEST_P(HostilePictureFiles, GiveNoPictureOrTheOneTheyAre) {
  const std::string kind = GetParam().name;
  const std::string folder = TempFolder() + "pmp-hostile-" + kind + "\\";
  CreateDirectoryW(win32::Wide(folder).c_str(), nullptr);
  std::string path = folder + "picture.jpg";
  if (kind == "TruncatedJpeg") {
    ASSERT_TRUE(EncodeWithWic(path, GUID_ContainerFormatJpeg, 64, 48));
    std::string bytes(4096, '\0');
    {
      const win32::UniqueKernelHandle file(CreateFileW(win32::Wide(path).c_str(), GENERIC_READ, 0,
                                                       nullptr, OPEN_EXISTING, 0, nullptr));
      DWORD read = 0;
      ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
      bytes.resize(read);
    }
    ASSERT_NE(bytes.find("\xFF\xDA"), std::string::npos);
    WriteBytes(path, bytes.substr(0, bytes.find("\xFF\xDA") + 20));  // cut inside the data
  } else if (kind == "GifOfOnePixel") {
    path = folder + "dot.gif";
    WriteBytes(path, Gif(1, 1));
  } else if (kind == "BmpClaiming60000Square") {
    path = folder + "huge.bmp";
    WriteBytes(path,
               Bmp(1, 1).substr(0, 54).replace(18, 8, std::string("\x60\xEA\0\0\x60\xEA\0\0", 8)));
  } else if (kind == "FolderNamedLikeAPicture") {
    path = folder + "x.jpg";
    CreateDirectoryW(win32::Wide(path).c_str(), nullptr);
  } else if (kind == "PathOf300Characters") {
    path = folder + std::string(300 - folder.size() - 4, 'p') + ".bmp";
    ASSERT_EQ(path.size(), 300u);
    const std::wstring longPath = L"\\\\?\\" + win32::Wide(path);
    const HANDLE raw = CreateFileW(longPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(raw, INVALID_HANDLE_VALUE);
    const std::string bmp = Bmp(8, 8);
    DWORD written = 0;
    WriteFile(raw, bmp.data(), static_cast<DWORD>(bmp.size()), &written, nullptr);
    CloseHandle(raw);
  }
  const platform::PicturePtr picture = TheToolkit().LoadPicture(path);
  if (GetParam().width == 0) {
    EXPECT_EQ(picture, nullptr);
  } else {
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), GetParam().width);
    EXPECT_EQ(picture->Height(), GetParam().height);
  }
  std::error_code ignored;
  std::filesystem::remove_all(L"\\\\?\\" + win32::Wide(folder), ignored);
}

INSTANTIATE_TEST_SUITE_P(Files, HostilePictureFiles,
                         ::testing::Values(HostileFile{"TruncatedJpeg", 0, 0},
                                           HostileFile{"GifOfOnePixel", 1, 1},
                                           HostileFile{"BmpClaiming60000Square", 0, 0},
                                           HostileFile{"FolderNamedLikeAPicture", 0, 0},
                                           HostileFile{"PathOf300Characters", 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct BuiltInCase {
  const char* name;
  BuiltIn picture;
  // The picture's own size; for artwork stretched into a control, that
  // control's size in pixels at 96 DPI.
  int width;
  int height;
  bool stretched;
};

class BuiltInPictures : public ::testing::TestWithParam<BuiltInCase> {};

TEST_P(BuiltInPictures, BuiltInPicturesComeFromTheProgramsResources) {
  const platform::PicturePtr picture = TheToolkit().BuiltInPicture(GetParam().picture);
  ASSERT_NE(picture, nullptr);
  if (!GetParam().stretched) {
    EXPECT_EQ(picture->Width(), GetParam().width);
    EXPECT_EQ(picture->Height(), GetParam().height);
    return;
  }
  // Drawn at twice its control's size or more, it stays sharp at 192 DPI;
  // of the control's shape, it is not distorted by the stretch.
  EXPECT_GE(picture->Width(), 2 * GetParam().width);
  EXPECT_GE(picture->Height(), 2 * GetParam().height);
  EXPECT_NEAR(static_cast<double>(picture->Width()) / picture->Height(),
              static_cast<double>(GetParam().width) / GetParam().height, 0.02);
}

INSTANTIATE_TEST_SUITE_P(
    Resources, BuiltInPictures,
    ::testing::Values(BuiltInCase{"Prompt", BuiltIn::PromptPicture, 150, 194, false},
                      BuiltInCase{"BadPassword", BuiltIn::BadPasswordPicture, 354, 290, false},
                      BuiltInCase{"Wizard", BuiltIn::WizardPicture, 140, 258, true},
                      BuiltInCase{"Preview", BuiltIn::PreviewPicture, 121, 93, true},
                      BuiltInCase{"ProgramIcon", BuiltIn::ProgramIcon, 32, 32, false},
                      BuiltInCase{"LockedIcon", BuiltIn::LockedIcon, 32, 32, false},
                      BuiltInCase{"UnlockedIcon", BuiltIn::UnlockedIcon, 32, 32, false},
                      BuiltInCase{"AddItemIcon", BuiltIn::AddItemIcon, 32, 32, false},
                      BuiltInCase{"RemoveItemIcon", BuiltIn::RemoveItemIcon, 32, 32, false},
                      BuiltInCase{"ChangeItemIcon", BuiltIn::ChangeItemIcon, 32, 32, false},
                      BuiltInCase{"DownloadIcon", BuiltIn::DownloadIcon, 32, 32, false}),
    [](const auto& info) { return std::string(info.param.name); });

// The pixel sizes of the images in an icon resource, from its group
// directory (a width of 0 stands for 256).
std::vector<int> IconResourceSizes(int resource) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resource), MAKEINTRESOURCEW(14));
  if (found == nullptr) return {};
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  const DWORD size = SizeofResource(module, found);
  constexpr DWORD kHeader = 6;
  constexpr DWORD kEntry = 14;
  if (data == nullptr || size < kHeader) return {};
  const int count = data[4] | (data[5] << 8);
  std::vector<int> sizes;
  for (int i = 0; i < count && kHeader + (i + 1) * kEntry <= size; ++i) {
    const int width = data[kHeader + i * kEntry];
    sizes.push_back(width == 0 ? 256 : width);
  }
  return sizes;
}

struct IconCase {
  const char* name;
  BuiltIn icon;
  bool shownByTheShell;  // a window or tray icon, which the shell also shows large
};

class BuiltInIconSizes : public ::testing::TestWithParam<IconCase> {};

TEST_P(BuiltInIconSizes, EachIconHasAnImageForEverySizeAskedForAt96To192Dpi) {
  const std::vector<int> sizes = IconResourceSizes(win32::BuiltInIconResource(GetParam().icon));
  // Small icons at 96, 120, 144 and 192 DPI, then large ones.
  std::vector<int> wanted = {16, 20, 24, 32, 40, 48, 64};
  if (GetParam().shownByTheShell) wanted.push_back(256);
  for (int side : wanted) {
    EXPECT_NE(std::find(sizes.begin(), sizes.end(), side), sizes.end()) << side << " pixels";
  }
}

INSTANTIATE_TEST_SUITE_P(Resources, BuiltInIconSizes,
                         ::testing::Values(IconCase{"Program", BuiltIn::ProgramIcon, true},
                                           IconCase{"Locked", BuiltIn::LockedIcon, true},
                                           IconCase{"Unlocked", BuiltIn::UnlockedIcon, true},
                                           IconCase{"AddItem", BuiltIn::AddItemIcon, false},
                                           IconCase{"RemoveItem", BuiltIn::RemoveItemIcon, false},
                                           IconCase{"ChangeItem", BuiltIn::ChangeItemIcon, false},
                                           IconCase{"Download", BuiltIn::DownloadIcon, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToolkitTest, AnImageKeepsThePictureLastSet) {
  Create();
  const int image = Index("imgPrompt");
  ASSERT_NE(window_->GetPicture(image), nullptr) << "the table's built-in picture";
  const platform::PicturePtr bad = TheToolkit().BuiltInPicture(BuiltIn::BadPasswordPicture);
  window_->SetPicture(image, bad);
  EXPECT_EQ(window_->GetPicture(image), bad);
  window_->SetPicture(image, nullptr);
  EXPECT_EQ(window_->GetPicture(image), nullptr);
}

// A 32-bit canvas of `width` x `height` for drawing into, and where on it
// anything but the colour of its first pixel was drawn.
class Canvas {
 public:
  Canvas(int width, int height)
      : width_(width), height_(height), bitmap_(CreateDib(width, height, &bits_)) {
    const RECT area{0, 0, width, height};
    FillRect(dc(), &area, GetSysColorBrush(COLOR_BTNFACE));
  }
  HDC dc() const { return dc_.get(); }
  RECT Drawn() const {
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits_);
    RECT drawn{width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        if (pixels[y * width_ + x] == pixels[0]) continue;
        drawn = {std::min<LONG>(drawn.left, x), std::min<LONG>(drawn.top, y),
                 std::max<LONG>(drawn.right, x + 1), std::max<LONG>(drawn.bottom, y + 1)};
      }
    }
    return drawn;
  }

 private:
  static HBITMAP CreateDib(int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
  }

  int width_;
  int height_;
  void* bits_ = nullptr;
  win32::UniqueHbitmap bitmap_;
  win32::UniqueMemoryDc dc_{CreateCompatibleDC(nullptr)};
  win32::SelectGuard selected_{dc_.get(), bitmap_.get()};
};

// The form's scale stretches its controls across and down apart (Wine's
// stand-in font by a sixth across); an icon is drawn in the largest square
// the control holds, centred, as it looks in a square of that side.
TEST_F(ToolkitTest, AnIconKeepsItsSquareInAControlOfAnotherShape) {
  Create();
  window_->SetPicture(Index("imgPrompt"), TheToolkit().BuiltInPicture(BuiltIn::LockedIcon));
  const HWND control = Control("imgPrompt");
  RECT area;
  GetClientRect(control, &area);
  if (area.right == area.bottom) GTEST_SKIP() << "this font scales both ways alike";
  const Canvas image(area.right, area.bottom);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_STATIC;
  item.CtlID = static_cast<UINT>(GetDlgCtrlID(control));
  item.itemAction = ODA_DRAWENTIRE;
  item.hwndItem = control;
  item.hDC = image.dc();
  item.rcItem = area;
  SendMessageW(hwnd_, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));

  const int side = std::min(area.right, area.bottom);
  const Canvas square(side, side);
  const win32::UniqueHicon icon(win32::LoadBuiltInIcon(BuiltIn::LockedIcon, side));
  DrawIconEx(square.dc(), 0, 0, icon.get(), side, side, 0, nullptr, DI_NORMAL);
  RECT expected = square.Drawn();
  OffsetRect(&expected, (area.right - side) / 2, (area.bottom - side) / 2);
  const RECT drawn = image.Drawn();
  EXPECT_TRUE(EqualRect(&drawn, &expected))
      << "drawn at " << drawn.left << "," << drawn.top << "-" << drawn.right << "," << drawn.bottom
      << " rather than " << expected.left << "," << expected.top << "-" << expected.right << ","
      << expected.bottom;
}

TEST(ToolkitProgram, TheVersionComesFromTheProgramsVersionResource) {
  const platform::ProgramVersion version = TheToolkit().Version();
  EXPECT_EQ(version.major, 5);
  EXPECT_EQ(version.minor, 5);
  EXPECT_EQ(version.revision, 2);
  EXPECT_NE(version.legalCopyright.find("Pelmora Software"), std::string::npos)
      << version.legalCopyright;
}

TEST(ToolkitProgram, TheProgramFolderHoldsTheProgramAndHasNoTrailingBackslash) {
  const std::string folder = TheToolkit().ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  wchar_t module[MAX_PATH];
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  const std::string program = win32::Narrow(module);
  EXPECT_EQ(program.substr(0, folder.size() + 1), folder + "\\");
  EXPECT_EQ(program.find('\\', folder.size() + 1), std::string::npos);
}

struct MessageCase {
  const char* name;
  platform::MessageStyle style;
  int button;
  platform::MessageResult result;
};

class MessageBoxes : public ::testing::TestWithParam<MessageCase> {};

// The message box's own loop runs this thread timer, which presses a
// button as the user would and notes the box's title.
struct PressedBox {
  int button = 0;
  std::wstring title;
};
PressedBox* g_pressed = nullptr;

void CALLBACK PressButton(HWND, UINT, UINT_PTR timer, DWORD) {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM) -> BOOL {
        if (ClassOf(window) != L"#32770" || !IsWindowVisible(window)) return TRUE;
        g_pressed->title = WindowTextW(window);
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(g_pressed->button, BN_CLICKED), 0);
        return FALSE;
      },
      0);
  if (!g_pressed->title.empty()) KillTimer(nullptr, timer);
}

TEST_P(MessageBoxes, AMessageBoxAnswersTheButtonPressed) {
  PressedBox pressed{GetParam().button, {}};
  g_pressed = &pressed;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, &PressButton);
  const platform::MessageResult result = TheToolkit().MessageBox(
      nullptr, "Are you sure?", "", GetParam().style, platform::MessageIcon::Question);
  KillTimer(nullptr, timer);
  g_pressed = nullptr;
  EXPECT_EQ(result, GetParam().result);
  EXPECT_EQ(pressed.title, L"Pelmora Pro") << "an empty caption shows the program title";
}

INSTANTIATE_TEST_SUITE_P(Buttons, MessageBoxes,
                         ::testing::Values(MessageCase{"Ok", platform::MessageStyle::Ok, IDOK,
                                                       platform::MessageResult::Ok},
                                           MessageCase{"Cancel", platform::MessageStyle::OkCancel,
                                                       IDCANCEL, platform::MessageResult::Cancel},
                                           MessageCase{"Yes", platform::MessageStyle::YesNo, IDYES,
                                                       platform::MessageResult::Yes},
                                           MessageCase{"No", platform::MessageStyle::YesNoCancel,
                                                       IDNO, platform::MessageResult::No}),
                         [](const auto& info) { return std::string(info.param.name); });

// The process's GDI objects. Wine's GetGuiResources answers 0; there the
// live entries of Wine's GDI handle table are counted instead (a handle
// with a zero high word names any live entry of its index).
int GdiObjects() {
  const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted != 0) return static_cast<int>(counted);
  int live = 0;
  for (UINT_PTR index = 1; index < 0x10000; ++index) {
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++live;
  }
  return live;
}

TEST(ToolkitResources, AFormWithPicturesLeavesNoGdiObjectBehind) {
  const std::string bmp = TempFolder() + "pmp-soak.bmp";
  WriteBytes(bmp, Bmp(64, 48));
  const auto cycle = [&] {
    EventRecorder events;
    auto window = TheToolkit().CreateFormWindow(kTestForm, events, nullptr);
    window->SetPicture(Index("imgPrompt"), TheToolkit().LoadPicture(bmp));
    window->SetIcon(BuiltIn::LockedIcon);
    window->Show(platform::ShowMode::NoActivate);
    UpdateWindow(reinterpret_cast<HWND>(window->handle()));
    TheToolkit().DoEvents();
    window.reset();
    TheToolkit().DoEvents();
  };
  // The first forms warm up caches of the system's own (theme parts, fonts).
  for (int i = 0; i < 5; ++i) cycle();
  const int before = GdiObjects();
  ASSERT_GT(before, 0) << "nothing counted: the count cannot show a leak";
  for (int i = 0; i < 50; ++i) cycle();
  EXPECT_EQ(GdiObjects(), before);
  DeleteFileW(win32::Wide(bmp).c_str());
}

}  // namespace
}  // namespace pm::tests
