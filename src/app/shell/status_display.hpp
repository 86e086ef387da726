#pragma once
#include "app/shell/app_context.hpp"
#include "sources/mouse_sampler.hpp"
#include "sources/mouse_status.hpp"
#include <QGroupBox>
namespace mw {
class StatusDisplay : public QGroupBox {
    Q_OBJECT
public:
    StatusDisplay(AppContext&, MouseSamplerControls&, QWidget* parent) : QGroupBox(parent) {
        setObjectName("status");
    }
    MouseStatusView& View() { return view_; }
    void Relayout() {}
    void Retranslate() {}
    void ApplyColours() {}
    void SetDeviceMessage(const QString&) {}
    void SetNote(const QString&) {}
    void SetNeedleSize(int) {}
Q_SIGNALS:
    void latencyCaption(const QString& text);
    void controlRateCaption(const QString& text);
    void captionRestoreTimer();
    void currentLatency(const QString& text);
    void indicatorsShownChanged(bool shown);

private:
    MouseStatusView view_;
};
} // namespace mw
