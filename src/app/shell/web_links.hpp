#pragma once
// The pages of the product web site that the program opens in the user's browser.

#include <QString>
#include <QUrl>

namespace mw {

/// The host name of the product web site (a build setting).
QString ProductHost();
/// The host name of the product's forum (a build setting).
QString ForumHost();

/// "https://" + the product host + `path` ("/" for the home page).
QUrl ProductUrl(const QString& path);
/// The forum's home page.
QUrl ForumUrl();

/// Opens a page of the product web site with the desktop's default handler; false when that fails.
bool OpenProductPage(const QString& path);
/// Opens the forum's home page with the desktop's default handler.
bool OpenForumPage();

/// The site's pages that the dialogs open.
inline constexpr const char* kSupportPagePath = "/Pages/Murmelwerk_Support.html";
inline constexpr const char* kTutorialsPagePath = "/Pages/Murmelwerk_Tutorials.html";

} // namespace mw
