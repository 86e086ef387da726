#include "app/shell/debug_probe.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace mw {

namespace {

// Per-widget memory of what was last reported, kept as dynamic properties so that it dies with the widget.
constexpr const char* kLastLayout = "mwProbeLayout";
constexpr const char* kLastText = "mwProbeText";
constexpr const char* kLastEnabled = "mwProbeEnabled";
constexpr const char* kPainted = "mwProbePainted";
constexpr const char* kLastCursor = "mwProbeCursor";

constexpr int kPollMs = 100;
constexpr int kScreenshotDelayMs = 1500;
constexpr int kRepaintMs = 500;

void Emit(const QString& line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

QString NameOf(const QObject& object) {
    const QString name = object.objectName();
    return name.isEmpty() ? QStringLiteral("(%1)").arg(QLatin1String(object.metaObject()->className()))
                          : name;
}

QString Escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

QString RectText(const QPoint& topLeft, const QSize& size) {
    return QStringLiteral("%1 %2 %3 %4")
        .arg(topLeft.x())
        .arg(topLeft.y())
        .arg(size.width())
        .arg(size.height());
}

/// The named widgets that belong to `window` itself (not to the windows it owns).
QList<QWidget*> NamedChildren(QWidget& window) {
    QList<QWidget*> result;
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (child->window() == &window && !child->objectName().isEmpty()) result.append(child);
    }
    return result;
}

/// Gives a message box and its buttons the names a script looks for.
void NameMessageBox(QMessageBox& box) {
    if (box.objectName().isEmpty()) box.setObjectName(QStringLiteral("messageBox"));
    for (QAbstractButton* button : box.buttons()) {
        if (!button->objectName().isEmpty()) continue;
        switch (box.standardButton(button)) {
        case QMessageBox::Yes:
            button->setObjectName(QStringLiteral("yes"));
            break;
        case QMessageBox::No:
            button->setObjectName(QStringLiteral("no"));
            break;
        case QMessageBox::Ok:
            button->setObjectName(QStringLiteral("ok"));
            break;
        case QMessageBox::Cancel:
            button->setObjectName(QStringLiteral("cancel"));
            break;
        case QMessageBox::Save:
            button->setObjectName(QStringLiteral("save"));
            break;
        case QMessageBox::Discard:
            button->setObjectName(QStringLiteral("discard"));
            break;
        default:
            break;
        }
    }
}

class DebugProbe : public QObject {
public:
    explicit DebugProbe(QApplication& app) : QObject(&app) {
        clock_.start();
        if (const char* path = std::getenv("MURMELWERK_DEBUG_SCREENSHOT"); path != nullptr && path[0] != '\0')
            screenshotPath_ = QString::fromLocal8Bit(path);
        if (const char* path = std::getenv("MURMELWERK_DEBUG_PATCH_SCREENSHOT");
            path != nullptr && path[0] != '\0')
            patchScreenshotPath_ = QString::fromLocal8Bit(path);
        patchTimer_.setSingleShot(true);
        connect(&patchTimer_, &QTimer::timeout, this, &DebugProbe::PatchScreenshot);
        connect(&poll_, &QTimer::timeout, this, &DebugProbe::Poll);
        poll_.start(kPollMs);
        app.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType()) return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (!widget->isWindow()) return false;
        switch (event->type()) {
        case QEvent::Show:
            if (auto* box = qobject_cast<QMessageBox*>(widget)) NameMessageBox(*box);
            ReportLayout(*widget, true);
            break;
        case QEvent::Move:
        case QEvent::Resize:
            if (widget->isVisible()) ReportLayout(*widget, false);
            break;
        case QEvent::Hide:
            Emit(QStringLiteral("hidden %1").arg(NameOf(*widget)));
            break;
        case QEvent::Paint:
            if (!widget->property(kPainted).toBool()) {
                widget->setProperty(kPainted, true);
                Emit(QStringLiteral("painted %1 %2").arg(NameOf(*widget)).arg(clock_.elapsed()));
                // The patch picture waits until no module window has appeared for a while.
                if (widget->objectName().startsWith(QLatin1String("module")) &&
                    !patchScreenshotPath_.isEmpty())
                    patchTimer_.start(kScreenshotDelayMs);
                if (widget->objectName() == QLatin1String("main") && !screenshotPath_.isEmpty())
                    QTimer::singleShot(kScreenshotDelayMs, this, [this, window = QPointer<QWidget>(widget)] {
                        Screenshot(window, false);
                    });
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    /// Writes the window line and its control lines when they differ from the last report (always when
    /// `force`).
    void ReportLayout(QWidget& window, bool force) {
        const QRect frame = window.geometry();
        QStringList lines;
        lines << QStringLiteral("window %1 %2 %3")
                     .arg(NameOf(window))
                     .arg(quint64(window.winId()))
                     .arg(RectText(frame.topLeft(), frame.size()));
        for (QWidget* child : NamedChildren(window)) {
            lines << QStringLiteral("control %1 %2 %3")
                         .arg(child->objectName(), RectText(child->mapToGlobal(QPoint(0, 0)), child->size()))
                         .arg(child->isVisibleTo(&window) ? 1 : 0);
        }
        const QString joined = lines.join(u'\n');
        if (!force && window.property(kLastLayout).toString() == joined) return;
        window.setProperty(kLastLayout, joined);
        Emit(joined);
    }

    /// Texts and enabled states of the named children of the visible windows; layouts that changed
    /// without a move of their window.
    void Poll() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible()) continue;
            ReportLayout(*window, false);
            if (window->testAttribute(Qt::WA_SetCursor)) {
                const int shape = int(window->cursor().shape());
                const QVariant last = window->property(kLastCursor);
                if (!last.isValid() || last.toInt() != shape) {
                    window->setProperty(kLastCursor, shape);
                    Emit(QStringLiteral("cursor %1 %2").arg(NameOf(*window)).arg(shape));
                }
            }
            for (QWidget* child : NamedChildren(*window)) {
                const QVariant text = child->property("text");
                if (text.metaType().id() == QMetaType::QString) {
                    const QString value = text.toString();
                    const QVariant last = child->property(kLastText);
                    if (!last.isValid() || last.toString() != value) {
                        child->setProperty(kLastText, value);
                        Emit(QStringLiteral("text %1 %2").arg(child->objectName(), Escaped(value)));
                    }
                }
                const QVariant lastEnabled = child->property(kLastEnabled);
                if (!lastEnabled.isValid() || lastEnabled.toBool() != child->isEnabled()) {
                    child->setProperty(kLastEnabled, child->isEnabled());
                    Emit(QStringLiteral("enabled %1 %2")
                             .arg(child->objectName())
                             .arg(child->isEnabled() ? 1 : 0));
                }
            }
        }
    }

    /// Grabs the window's screen area once no other window of the program covers it; after a covering
    /// window went away the window gets time to repaint.
    void Screenshot(QPointer<QWidget> window, bool wasCovered) {
        if (!window) return;
        const QRect area = window->frameGeometry();
        bool covered = false;
        for (QWidget* other : QApplication::topLevelWidgets())
            covered =
                covered || (other != window && other->isVisible() && other->frameGeometry().intersects(area));
        if (covered || wasCovered) {
            QTimer::singleShot(covered ? kPollMs : kRepaintMs, this,
                               [this, window, covered] { Screenshot(window, covered); });
            return;
        }
        QScreen* screen = window->screen();
        const QPixmap picture = screen != nullptr
                                    ? screen->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                                    : QPixmap();
        const bool saved = !picture.isNull() && picture.save(screenshotPath_, "PNG");
        Emit(QStringLiteral("%1 %2").arg(
            saved ? QStringLiteral("screenshot") : QStringLiteral("screenshot-failed"), screenshotPath_));
    }

    QElapsedTimer clock_;
    QTimer poll_;
    QString screenshotPath_;
    QString patchScreenshotPath_;
    QTimer patchTimer_;

    /// The screen area that holds the main window and every module window shown on the screen.
    void PatchScreenshot() {
        QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen) return;
        QRect area;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && (window->objectName() == QLatin1String("main") ||
                                        window->objectName().startsWith(QLatin1String("module"))))
                area |= window->frameGeometry();
        area &= screen->geometry();
        const QPixmap picture = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
        const bool saved = !picture.isNull() && picture.save(patchScreenshotPath_, "PNG");
        Emit(QStringLiteral("%1 %2").arg(saved ? QStringLiteral("patch-screenshot")
                                               : QStringLiteral("patch-screenshot-failed"),
                                         patchScreenshotPath_));
    }
};

} // namespace

bool DebugProbeRequested() {
    const char* value = std::getenv("MURMELWERK_DEBUG");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

void InstallDebugProbe(QApplication& app) {
    new DebugProbe(app);
}

} // namespace mw
