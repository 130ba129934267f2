// The picture chooser: a folder browser over the computer's drives that
// lists the picture files of one folder, with a preview, and stores the
// chosen file's path for the prompt.
#include <algorithm>
#include <optional>
#include <vector>

#include "platform/Files.h"
#include "platform/FolderPath.h"
#include "platform/Text.h"
#include "prompt/PasswordDialogs.h"
#include "prompt/frmpasswordpictureLayout.h"
#include "store/SettingsCatalogue.h"
#include "store/SettingsWriter.h"

namespace pm::prompt {

using platform::Event;
using platform::FolderEntry;

namespace {

constexpr char kSeparator = platform::kPathSeparator;
constexpr std::string_view kPictureExtensions[] = {".jpg", ".gif", ".bmp"};
constexpr std::string_view kDirIndent = "  ";

// A folder as the lists hold it: no trailing separator, except at the root
// of a drive, where it is the whole of the path's folder part.
std::string FolderPath(std::string_view folder) {
  std::string result(folder);
  while (result.size() > 1 && platform::IsPathSeparator(result.back())) result.pop_back();
  if (result.size() == 2 && result[1] == ':') result += kSeparator;
  return result;
}

bool IsPictureFile(const FolderEntry& entry) {
  if (entry.isFolder) return false;
  const std::size_t dot = entry.name.find_last_of('.');
  if (dot == std::string::npos || dot == 0) return false;
  const std::string extension = platform::LowerCase(entry.name.substr(dot));
  return std::find(std::begin(kPictureExtensions), std::end(kPictureExtensions), extension) !=
         std::end(kPictureExtensions);
}

// The names in a folder that pass `keep`, in the order the lists show them;
// nothing when the folder cannot be read.
template <typename Keep>
std::optional<std::vector<std::string>> NamesIn(const std::string& folder, Keep keep) {
  const auto entries = platform::ListFolder(folder);
  if (!entries) return std::nullopt;
  std::vector<std::string> names;
  for (const FolderEntry& entry : *entries) {
    if (keep(entry)) names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return platform::LowerCase(a) < platform::LowerCase(b);
  });
  return names;
}

}  // namespace

std::string PicturePath(std::string_view folder, std::string_view file, char separator) {
  return platform::JoinPath(folder, file, separator);
}

frmpasswordpicture::frmpasswordpicture(platform::Toolkit& toolkit, platform::Form& setup,
                                       platform::Registry& registry, store::ProgramState& state)
    : ChildDialog(toolkit, kfrmpasswordpictureSpec, setup), registry_(registry), state_(state) {
  On(Ids::Drive1, Event::Click, [this] { Drive1_Change(); });
  On(Ids::Dir1, Event::DblClick, [this] { Dir1_DblClick(); });
  On(Ids::File1, Event::Click, [this] { File1_Click(); });
  On(Ids::Label3, Event::Click, [this] { Label3_Click(); });
  On(Ids::cmdOK, Event::Click, [this] { cmdOK_Click(); });
  On(Ids::cmdCancel, Event::Click, [this] { Unload(); });
}

void frmpasswordpicture::Form_Load() {
  // Opened by the setup window, which owns it: it opens centred on that.
  drives_ = platform::DriveRoots();
  Drive1.Clear();
  for (const std::string& root : drives_) Drive1.AddItem(root);
  dirPath_.clear();
  filePath_.clear();
  // A program folder that cannot be listed leaves the lists empty; the
  // caption and the stored path still show.
  if (SetDir1Path(FolderPath(state_.AppFolder))) ShowDriveOf(dirPath_);
  const bool bad = state_.PickBadPicture;
  SetCaption(bad ? kPictureForBadPassword : kPictureForPasswordBox);
  const std::string stored = store::ReadSetting(
      registry_, bad ? store::setting::kBadPasswordPic : store::setting::kPasswordPicture);
  Label2.SetCaption(stored);
  if (stored.empty()) {
    Image1.SetPicture(nullptr);
  } else if (platform::PicturePtr picture = toolkit_.LoadPicture(stored)) {
    Image1.SetPicture(std::move(picture));
  }
}

bool frmpasswordpicture::SetDir1Path(const std::string& folder) {
  const auto subfolders = NamesIn(folder, [](const FolderEntry& entry) { return entry.isFolder; });
  if (!subfolders) return false;
  // The folder's ancestors from the drive's root down, then its subfolders.
  std::vector<std::string> rows;
  std::vector<std::string> texts;
  const platform::FolderParts parts = platform::SplitFolder(folder);
  std::string walked = parts.root;
  rows.push_back(walked);
  texts.push_back(walked);
  std::string indent;
  for (const std::string& part : parts.names) {
    walked = platform::JoinPath(walked, part);
    indent += kDirIndent;
    rows.push_back(walked);
    texts.push_back(indent + part);
  }
  const int current = static_cast<int>(rows.size()) - 1;
  indent += kDirIndent;
  for (const std::string& name : *subfolders) {
    rows.push_back(PicturePath(rows[current], name, kSeparator));
    texts.push_back(indent + name);
  }
  dirPath_ = rows[current];
  dirRows_ = std::move(rows);
  Dir1.Clear();
  for (const std::string& text : texts) Dir1.AddItem(text);
  Dir1.SetListIndex(current);
  Dir1_Change();
  return true;
}

void frmpasswordpicture::Dir1_Change() {
  filePath_ = dirPath_;
  File1.Clear();
  const auto files = NamesIn(filePath_, IsPictureFile);
  if (!files) return;
  for (const std::string& name : *files) File1.AddItem(name);
}

void frmpasswordpicture::Dir1_DblClick() {
  const int row = Dir1.ListIndex();
  if (row < 0 || row >= static_cast<int>(dirRows_.size())) return;
  SetDir1Path(dirRows_[row]);
}

void frmpasswordpicture::Drive1_Change() {
  const int row = Drive1.ListIndex();
  if (row < 0 || row >= static_cast<int>(drives_.size())) return;
  // A drive that is not ready leaves the folder where it was, and the
  // drive list goes back to that folder's drive.
  if (!SetDir1Path(drives_[row])) ShowDriveOf(dirPath_);
}

void frmpasswordpicture::ShowDriveOf(const std::string& folder) {
  const std::string root = platform::SplitFolder(folder).root;
  for (std::size_t i = 0; i < drives_.size(); ++i) {
    if (platform::EqualsNoCase(drives_[i], root)) {
      Drive1.SetListIndex(static_cast<int>(i));
      return;
    }
  }
  Drive1.SetListIndex(-1);
}

void frmpasswordpicture::File1_Click() {
  const int row = File1.ListIndex();
  if (row < 0) return;
  // A file that is no picture leaves the preview as it was.
  if (platform::PicturePtr picture =
          toolkit_.LoadPicture(PicturePath(filePath_, File1.List(row), kSeparator))) {
    Image1.SetPicture(std::move(picture));
  }
}

void frmpasswordpicture::Label3_Click() {
  window().SetClientSize(kPictureFormWidth, kPictureFormExpandedClientHeight);
}

void frmpasswordpicture::cmdOK_Click() {
  const int row = File1.ListIndex();
  const std::string file = row >= 0 ? File1.List(row) : std::string();
  const std::string path = PicturePath(filePath_, file, kSeparator);
  const bool bad = state_.PickBadPicture;
  const std::string_view name =
      bad ? store::setting::kBadPasswordPic : store::setting::kPasswordPicture;
  store::SettingsChange change(registry_, state_);
  if (const store::WriteOutcome outcome =
          change.Commit(store::WriteSetting(change.registry(), name, path));
      !outcome) {
    toolkit_.MessageBox(&window(), outcome.Explain(kPictureNotSaved), "",
                        platform::MessageStyle::Ok, platform::MessageIcon::Error);
    return;
  }
  (bad ? state_.BadPasswordPic : state_.PasswordPicture) = path;
  state_.ReloadRequested = true;
  Unload();
}

}  // namespace pm::prompt
