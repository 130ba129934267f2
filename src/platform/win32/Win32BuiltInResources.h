// Which resource of the program holds each built-in picture or icon.
#pragma once

#include "apps/resources/resource.h"
#include "platform/Ui.h"

namespace pm::win32 {

enum class ResourceKind { Icon, Picture };

struct BuiltInResource {
  platform::BuiltIn picture;
  ResourceKind kind;
  int id;
};

inline constexpr BuiltInResource kBuiltInResources[] = {
    {platform::BuiltIn::PromptPicture, ResourceKind::Picture, IDR_PROMPT_PICTURE},
    {platform::BuiltIn::BadPasswordPicture, ResourceKind::Picture, IDR_BAD_PASSWORD_PICTURE},
    {platform::BuiltIn::WizardPicture, ResourceKind::Picture, IDR_WIZARD_PICTURE},
    {platform::BuiltIn::PreviewPicture, ResourceKind::Picture, IDR_PREVIEW_PICTURE},
    {platform::BuiltIn::ProgramIcon, ResourceKind::Icon, IDI_PROGRAM},
    {platform::BuiltIn::LockedIcon, ResourceKind::Icon, IDI_LOCKED},
    {platform::BuiltIn::UnlockedIcon, ResourceKind::Icon, IDI_UNLOCKED},
    {platform::BuiltIn::AddItemIcon, ResourceKind::Icon, IDI_ADD_ITEM},
    {platform::BuiltIn::RemoveItemIcon, ResourceKind::Icon, IDI_REMOVE_ITEM},
    {platform::BuiltIn::ChangeItemIcon, ResourceKind::Icon, IDI_CHANGE_ITEM},
    {platform::BuiltIn::DownloadIcon, ResourceKind::Icon, IDI_DOWNLOAD},
};

// The resource id of `picture` if it is of `kind`; 0 otherwise.
constexpr int BuiltInResourceId(platform::BuiltIn picture, ResourceKind kind) {
  for (const BuiltInResource& r : kBuiltInResources) {
    if (r.picture == picture && r.kind == kind) return r.id;
  }
  return 0;
}

}  // namespace pm::win32
