#include "app/shell/web_links.hpp"

#include <QDesktopServices>

#ifndef MW_PRODUCT_HOST
#define MW_PRODUCT_HOST "murmelwerk.invalid"
#endif
#ifndef MW_FORUM_HOST
#define MW_FORUM_HOST "forum.murmelwerk.invalid"
#endif

namespace mw {

QString ProductHost() {
    return QStringLiteral(MW_PRODUCT_HOST);
}

QString ForumHost() {
    return QStringLiteral(MW_FORUM_HOST);
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
