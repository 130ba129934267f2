// How an add-on stores what it adds: as the configuration tool saves, one
// change applied whole or not at all, through the service where it is
// installed. The password the owner typed into the add-on is checked as the
// tool's prompt checks it (by the service, which answers with a ticket the
// save carries and which ends after it). This is the only place the add-ons
// hold the password.
#pragma once

#include <string>

#include "addons/AddedItems.h"
#include "platform/Registry.h"
#include "platform/ServiceChannel.h"
#include "store/SettingsWriter.h"

namespace pm::addons {

struct AddonPlatform {
  platform::Registry& registry;
  platform::ServiceChannel* service;  // null where the program writes itself
};

// The service checks the password; without it, the stored one is compared
// here. Nothing is written for a password that is not right.
store::WriteOutcome SaveAddedItem(const AddonPlatform& platform, std::string password,
                                  const AddedItem& item);

}  // namespace pm::addons
