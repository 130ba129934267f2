#include "store/WebPageItems.h"

#include <array>
#include <vector>

#include "platform/ProgramPath.h"
#include "platform/Text.h"

namespace pm::store {

namespace {

constexpr std::array<std::string_view, 7> kWebBrowserPrograms = {
    "msedge.exe", "chrome.exe",  "firefox.exe",  "brave.exe",
    "opera.exe",  "vivaldi.exe", "iexplore.exe",
};

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The host of an address: without its scheme, user, port, path and query.
std::string_view HostOf(std::string_view address) {
  if (const std::size_t scheme = address.find("://"); scheme != std::string_view::npos) {
    address.remove_prefix(scheme + 3);
  }
  address = address.substr(0, address.find_first_of("/?#"));
  if (const std::size_t user = address.rfind('@'); user != std::string_view::npos) {
    address.remove_prefix(user + 1);
  }
  return address.substr(0, address.find(':'));
}

std::vector<std::string_view> Labels(std::string_view host) {
  std::vector<std::string_view> labels;
  while (!host.empty()) {
    const std::size_t dot = host.find('.');
    if (dot != 0) labels.push_back(host.substr(0, dot));
    host.remove_prefix(dot == std::string_view::npos ? host.size() : dot + 1);
  }
  return labels;
}

// The label that names the site: the one before the top-level domain, or
// before a country's second level ("co.uk", "com.au").
std::string_view SiteLabel(std::string_view host) {
  const std::vector<std::string_view> labels = Labels(host);
  if (labels.size() < 2) return labels.empty() ? std::string_view() : labels.front();
  const std::string_view last = labels.back();
  const std::string_view second = labels[labels.size() - 2];
  if (labels.size() >= 3 && last.size() == 2 && second.size() <= 3) {
    return labels[labels.size() - 3];
  }
  return second;
}

}  // namespace

std::string WebPageItem(std::string_view siteOrAddress) {
  const std::string_view typed = Trimmed(siteOrAddress);
  const bool address =
      typed.find("://") != std::string_view::npos ||
      (typed.find('.') != std::string_view::npos && typed.find(' ') == std::string_view::npos);
  std::string_view name = typed;
  if (address) {
    name = HostOf(typed);
    if (platform::LowerCase(name.substr(0, 4)) == "www.") name.remove_prefix(4);
    name = SiteLabel(name);
  }
  if (name.empty()) return {};
  return std::string(kWebPageMark) + std::string(name);
}

std::string_view WebPageTitle(std::string_view itemText) {
  if (itemText.size() <= kWebPageMark.size() ||
      itemText.substr(0, kWebPageMark.size()) != kWebPageMark) {
    return {};
  }
  return itemText.substr(kWebPageMark.size());
}

bool IsWebBrowserProgram(std::string_view programPath) {
  const std::string_view file = platform::FileNameOf(programPath);
  for (std::string_view browser : kWebBrowserPrograms) {
    if (platform::EqualsNoCase(file, browser)) return true;
  }
  return false;
}

}  // namespace pm::store
