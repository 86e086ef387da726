#include "app/shell/web_links.hpp"

#include <QDesktopServices>

#include "setup/web_request.hpp"

namespace mw {

// The hosts are the build's settings, kept by the web request of the setup layer.
QString ProductHost() {
    return QString::fromStdString(setup::ProductHost());
}

QString ForumHost() {
    return QString::fromStdString(setup::ForumHost());
}

QUrl ProductUrl(const QString& path) {
    return QUrl(QStringLiteral("https://") + ProductHost() + path);
}

QUrl ForumUrl() {
    return QUrl(QStringLiteral("https://") + ForumHost() + QStringLiteral("/"));
}

bool OpenProductPage(const QString& path) {
    return QDesktopServices::openUrl(ProductUrl(path));
}

bool OpenForumPage() {
    return QDesktopServices::openUrl(ForumUrl());
}

} // namespace mw
