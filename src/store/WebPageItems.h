// A web page is locked by a title item that applies only to windows of web
// browsers: the item list's own form, its text marked at the front, so the
// item shows, and can be changed, in the configuration tool's list like any
// other ("[web page] youtube"). What follows the mark is the site's name as
// browsers show it in their window titles.
#pragma once

#include <string>
#include <string_view>

namespace pm::store {

inline constexpr std::string_view kWebPageMark = "[web page] ";

// The item text for a site typed as a name ("YouTube") or an address
// ("https://www.youtube.com/watch?v=1"): the mark and the site's name, the
// host's own label of an address ("youtube"; "bbc" of "www.bbc.co.uk").
// Empty when nothing of a name is left.
std::string WebPageItem(std::string_view siteOrAddress);

// The title the item looks for in browsers' windows; empty for an item
// without the mark.
std::string_view WebPageTitle(std::string_view itemText);

// Whether the program file is a web browser's: Edge, Chrome, Firefox,
// Brave, Opera, Vivaldi or Internet Explorer, by its file name wherever it
// is installed (a browser may live in the user's own folders).
bool IsWebBrowserProgram(std::string_view programPath);

}  // namespace pm::store
