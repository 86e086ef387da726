#pragma once
#include <QObject>
#include <QStringList>
namespace mw {
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString key = {}) { (void)key; }
    bool Claim() { return true; }
    static bool Notify(const QString&, const QStringList&) { return false; }
Q_SIGNALS:
    void activated(QStringList arguments);
};
} // namespace mw
